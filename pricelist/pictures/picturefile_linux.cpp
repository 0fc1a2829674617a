#include "pricelist/pictures/picturefile.h"

#include "common/errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PictureFile::Identity identityOf(const struct stat& st)
{
    PictureFile::Identity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PictureFile::PictureFile(const QString& path) : path_(path)
{
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is then
    // checked on what was opened, not on the name.
    const auto refuse = [this](const QString& reason) {
        if (fd_ >= 0)
            ::close(fd_);
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path_, reason));
    };
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        refuse(systemError());
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        refuse(systemError());
    if (!S_ISREG(st.st_mode))
        refuse(QStringLiteral("Not a regular file"));
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    identity_ = identityOf(st);
}

PictureFile::~PictureFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool PictureFile::identify(const QString& path, Identity& identity)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    identity = identityOf(st);
    return true;
}

qint64 PictureFile::readSome(char* buffer, qint64 length) noexcept
{
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size_t(length));
        if (n >= 0 || errno != EINTR)
            return n;
    }
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
            fail(systemError());
        if (n == 0)
            break; // shrank while being read
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}
