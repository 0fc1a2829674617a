#include "common/nativefs.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nativefs {

int makeDirectory(const Path& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return 0;
    return errno == EEXIST ? alreadyExists : errno;
}

int replaceFile(const Path& path, const char* data, std::size_t size)
{
    mode_t mode = 0666;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;
    const Path temporary = path + ".tmp~" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST) { // left behind by a run that crashed
        ::unlink(temporary.c_str());
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.c_str());
    return error;
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

} // namespace nativefs
