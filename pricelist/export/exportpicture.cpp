#include "pricelist/export/exportpicture.h"

#include "webdocs/webdocument.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr qint64 maxFileBytes = 32 * 1024 * 1024;

// The whole file when it is a plain file of a sane size; empty otherwise. Opened without
// blocking, so a FIFO put in a picture's place cannot hang the export.
QByteArray readPlainFile(const QString& path)
{
#ifndef _WIN32
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= maxFileBytes) {
        bytes.resize(qsizetype(st.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    return bytes;
#else
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0 || info.size() > maxFileBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(maxFileBytes);
#endif
}
}

QImage loadPictureFile(const QString& path, int maxSide)
{
    QByteArray bytes = readPlainFile(path);
    if (bytes.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(256);
    const QSize size = reader.size();
    // Decoders that can scale while decoding (JPEG) do less work this way.
    if (size.isValid() && (size.width() > maxSide || size.height() > maxSide))
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > maxSide || image.height() > maxSide)
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage loadExportPicture(const QString& reference, int maxSide)
{
    if (reference.trimmed().isEmpty())
        return {};
    return loadPictureFile(finddocument(reference, true), maxSide);
}
