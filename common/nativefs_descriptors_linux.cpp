#include "common/nativefs.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nativefs {

namespace {

FileIdentity identityOf(const struct stat& st)
{
    FileIdentity id;
    id.device = st.st_dev;
    id.file = st.st_ino;
    id.size = st.st_size;
    id.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}
} // namespace

int openForReading(const Path& path, int& descriptor, FileIdentity& identity)
{
    descriptor = -1;
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is then
    // checked on what was opened, not on the name.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return notPlainFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    identity = identityOf(st);
    descriptor = fd;
    return 0;
}

int identifyFile(const Path& path, FileIdentity& identity)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    identity = identityOf(st);
    return 0;
}

int readSome(int descriptor, char* data, std::size_t size, std::size_t& done)
{
    done = 0;
    for (;;) {
        const ssize_t n = ::read(descriptor, data, size);
        if (n >= 0) {
            done = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

void closeDescriptor(int descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
}

int lockOpenFile(int descriptor)
{
    return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

} // namespace nativefs
