#include "pricelist/pictures/picturefile.h"

#include "common/errors.h"
#include "common/fileops.h"

namespace {

PictureFile::Identity identityOf(const nativefs::FileIdentity& file)
{
    PictureFile::Identity id;
    id.device = file.device;
    id.inode = file.file;
    id.size = file.size;
    id.modifiedNs = file.modifiedNs;
    id.changedNs = file.changedNs;
    return id;
}

} // namespace

PictureFile::PictureFile(const QString& path) : path_(path)
{
    nativefs::FileIdentity file;
    if (const int error = nativefs::openForReading(nativePath(path), fd_, file))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(path_, error == nativefs::notPlainFile ? QStringLiteral("Not a regular file")
                                                                    : systemErrorReason(error)));
    identity_ = identityOf(file);
}

PictureFile::~PictureFile()
{
    nativefs::closeDescriptor(fd_);
}

bool PictureFile::identify(const QString& path, Identity& identity)
{
    nativefs::FileIdentity file;
    if (nativefs::identifyFile(nativePath(path), file) != 0)
        return false;
    identity = identityOf(file);
    return true;
}

qint64 PictureFile::readSome(char* buffer, qint64 length) noexcept
{
    std::size_t done = 0;
    readError_ = nativefs::readSome(fd_, buffer, std::size_t(length), done);
    return readError_ ? -1 : qint64(done);
}

QByteArray PictureFile::readAll(qint64 limit)
{
    const auto fail = [this](const QString& reason) {
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(path_, reason));
    };
    if (size() > limit)
        fail(QStringLiteral("The file is too large (%1 bytes)").arg(size()));
    QByteArray bytes(size(), Qt::Uninitialized);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = readSome(bytes.data() + done, bytes.size() - done);
        if (n < 0)
            fail(systemErrorReason(readError_));
        if (n == 0)
            break; // shrank while being read
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}
