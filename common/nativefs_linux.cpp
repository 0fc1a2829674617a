#include "common/nativefs.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace nativefs {

namespace {
// The error for something that is not a plain file where one is expected.
int notPlainError(mode_t mode)
{
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

int createExclusive(const Path& path, int flags, mode_t mode)
{
    return ::open(path.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
} // namespace

int makeDirectory(const Path& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return 0;
    return errno == EEXIST ? alreadyExists : errno;
}

int resolveLinks(const Path& path, Path& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        if (link.empty() || link.front() == '/' || slash == Path::npos)
            target = link;
        else
            target = target.substr(0, slash + 1) + link;
    }
    return ELOOP;
}

int replaceThroughTemporary(const Path& target, const char* data, std::size_t size)
{
    mode_t mode = 0666;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return notPlainError(existing.st_mode);
        mode = existing.st_mode & 07777;
    }
    const Path temporary = target + ".tmp~" + std::to_string(::getpid());
    int fd = createExclusive(temporary, O_WRONLY, mode);
    if (fd < 0 && errno == EEXIST) { // left behind by a run that crashed
        ::unlink(temporary.c_str());
        fd = createExclusive(temporary, O_WRONLY, mode);
    }
    if (fd < 0)
        return errno;
    int error = 0;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.c_str());
    return error;
}

bool isMissing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

bool isRefused(int error)
{
    return error == EACCES || error == EPERM;
}

int linkCount(const Path& path, std::uint64_t& count)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    count = st.st_nlink;
    return 0;
}

int reserveSize(Handle handle, std::int64_t size)
{
    std::int64_t now = 0;
    if (const int error = fileSize(handle, now); error || now >= size)
        return error;
    // posix_fallocate reports its error itself; a file system without it has it emulated.
    return ::posix_fallocate(static_cast<int>(handle), now, size - now);
}

int openPlainFile(const Path& path, bool forWriting, Handle& handle)
{
    handle = noHandle;
    // Looked at before opening: opening a device can have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return notPlainError(st.st_mode);
    // Non-blocking, so that a pipe put there after the look cannot hold the open.
    const int fd = ::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISREG(st.st_mode) ? errno : notPlainError(st.st_mode);
        ::close(fd);
        return error;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle = fd;
    return 0;
}

int fileSize(Handle handle, std::int64_t& size)
{
    struct stat st {};
    if (::fstat(static_cast<int>(handle), &st) != 0)
        return errno;
    size = st.st_size;
    return 0;
}

int freeSpace(const Path& path, std::int64_t& bytes)
{
    struct statvfs fs {};
    if (::statvfs(path.c_str(), &fs) != 0)
        return errno;
    bytes = std::int64_t(fs.f_bavail) * std::int64_t(fs.f_frsize);
    return 0;
}

int readAt(Handle handle, std::int64_t offset, char* data, std::size_t size, std::size_t& done)
{
    done = 0;
    while (done < size) {
        const ssize_t n = ::pread(static_cast<int>(handle), data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int writeAt(Handle handle, std::int64_t offset, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(static_cast<int>(handle), data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int truncateFile(Handle handle, std::int64_t size)
{
    return ::ftruncate(static_cast<int>(handle), size) == 0 ? 0 : errno;
}

int syncFile(Handle handle)
{
    return ::fsync(static_cast<int>(handle)) == 0 ? 0 : errno;
}

void closeFile(Handle handle)
{
    if (handle != noHandle)
        ::close(static_cast<int>(handle));
}

int openOwnFile(const Path& path, int& descriptor)
{
    descriptor = -1;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (S_ISREG(st.st_mode) && st.st_nlink == 1) {
            const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            struct stat opened {};
            if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1
                && opened.st_ino == st.st_ino && opened.st_dev == st.st_dev) {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                descriptor = fd;
                return 0;
            }
            if (fd >= 0)
                ::close(fd);
        }
        // Whatever stands there is unlinked itself: a link's target is never touched.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return errno;
    } else if (errno != ENOENT) {
        return errno;
    }
    const int fd = createExclusive(path, O_RDWR, 0666);
    if (fd < 0)
        return errno;
    descriptor = fd;
    return 0;
}

int lockForWriting(const Path& path, Handle& handle)
{
    handle = noHandle;
    const std::size_t slash = path.rfind('/');
    const Path folder = slash == Path::npos ? Path(".") : slash == 0 ? Path("/") : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // At most about ten seconds: a copy of the program that hangs must not hang this one.
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            handle = fd;
            return 0;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        const timespec pause{0, 20 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    const int error = errno;
    ::close(fd);
    return error;
}

void unlockFile(Handle handle)
{
    closeFile(handle); // closing lets go of the lock
}

int listDirectory(const Path& folder, std::vector<Entry>& entries)
{
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return errno;
    const Path prefix = !folder.empty() && folder.back() == '/' ? folder : folder + '/';
    while (const dirent* e = ::readdir(dir)) {
        const Path name = e->d_name;
        if (name == "." || name == "..")
            continue;
        Entry entry;
        entry.name = name;
        struct stat st {};
        if (::lstat((prefix + name).c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode))
                entry.kind = EntryKind::Link;
            else if (S_ISDIR(st.st_mode))
                entry.kind = EntryKind::Directory;
            entry.readOnly = !(st.st_mode & S_IWUSR);
        }
        entries.push_back(entry);
    }
    ::closedir(dir);
    return 0;
}

int clearReadOnly(const Path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    if (S_ISLNK(st.st_mode))
        return 0;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0 ? 0 : errno;
}

int removeFile(const Path& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int removeLink(const Path& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int removeDirectory(const Path& path)
{
    return ::rmdir(path.c_str()) == 0 ? 0 : errno;
}

bool isReadOnly(const Path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool isLink(const Path& path)
{
    Path bare = path;
    while (bare.size() > 1 && bare.back() == '/')
        bare.pop_back();
    struct stat st {};
    return ::lstat(bare.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace nativefs
