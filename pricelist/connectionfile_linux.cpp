#include "pricelist/connectionfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype maximumSize = 64 * 1024;
constexpr off_t maximumCaSize = 16 * 1024 * 1024;

[[noreturn]] void fileError(const QString& path, const QString& what)
{
    throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1 %2").arg(path, what));
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

// The CA file goes to the TLS library as a name: it must be a plain file it can read to
// the end, or the connection would wait on a pipe.
void checkCaFile(const QString& path, const QString& ca)
{
    struct stat st{};
    if (::stat(QFile::encodeName(ca).constData(), &st) != 0 || ::access(QFile::encodeName(ca).constData(), R_OK) != 0)
        fileError(path, QStringLiteral("viser til CA-filen %1, som ikke kan leses (%2)").arg(ca, QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(st.st_mode) || st.st_size > maximumCaSize)
        fileError(path, QStringLiteral("viser til CA-filen %1, som ikke er en vanlig fil på høyst 16 MiB").arg(ca));
}
}

QString connectionFilePath()
{
    const QString chosen = qEnvironmentVariable("PRISLISTE_CONNECTION_FILE");
    return chosen.isEmpty() ? QStringLiteral("/etc/prisliste/tilkobling.ini") : chosen;
}

bool readConnectionFile(const QString& path, ConnectionSettings& settings)
{
    // No links (the file's mode is what guards the password), and no waiting on a pipe.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return false;
        if (error == ELOOP)
            fileError(path, QStringLiteral("er en symbolsk lenke; den må være en vanlig fil"));
        if (error == EACCES)
            fileError(path, QStringLiteral("kan ikke leses (ingen tilgang): brukeren må være med i gruppen prisliste"));
        fileError(path, QStringLiteral("kan ikke leses (%1)").arg(QString::fromLocal8Bit(std::strerror(error))));
    }
    const Descriptor guard{fd};
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        fileError(path, QStringLiteral("er ikke en vanlig fil"));
    if (st.st_size > maximumSize)
        fileError(path, QStringLiteral("er for stor (mer enn 64 KiB)"));
    QByteArray text(maximumSize + 1, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < text.size()) {
        const ssize_t n = ::read(fd, text.data() + size, size_t(text.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fileError(path, QStringLiteral("kan ikke leses (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (n == 0)
            break;
        size += n;
    }
    if (size > maximumSize) // grew since fstat
        fileError(path, QStringLiteral("er for stor (mer enn 64 KiB)"));
    text.truncate(size);

    ConnectionSettings read = settings;
    const bool givesPassword = applyConnectionText(text, path, read);
    if (st.st_mode & S_IWOTH)
        fileError(path, QStringLiteral("kan endres av alle: gi den modus 0640 (chmod 640)"));
    if (givesPassword && (st.st_mode & S_IROTH))
        fileError(path, QStringLiteral("har et passord og kan leses av alle: gi den modus 0640 (chmod 640)"));
    if (!read.tlsCaFile.isEmpty())
        checkCaFile(path, read.tlsCaFile);
    settings = read;
    return true;
}
