#include "common/nativefs.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

namespace nativefs {

namespace {
int lastError()
{
    const DWORD code = GetLastError();
    return code ? static_cast<int>(code) : ERROR_GEN_FAILURE;
}

HANDLE toHandle(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// Keeps file only when it is a file on disk, not a pipe or a device.
int diskFileOnly(HANDLE file)
{
    if (GetFileType(file) == FILE_TYPE_DISK)
        return 0;
    CloseHandle(file);
    return ERROR_BAD_FILE_TYPE;
}

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    overlapped.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return overlapped;
}
} // namespace

int makeDirectory(const Path& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) ? 0 : lastError();
}

int resolveLinks(const Path& path, Path& target)
{
    target = path;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return 0;
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    const int error = length == 0 || length >= buffer.size() ? lastError() : 0;
    CloseHandle(file);
    if (!error) {
        buffer.resize(length);
        target = buffer;
    }
    return error;
}

int replaceThroughTemporary(const Path& target, const char* data, std::size_t size)
{
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    const Path temporary = target + L".tmp~" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW(temporary.c_str()); // left behind by a run that crashed
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    int error = 0;
    std::size_t done = 0;
    while (done < size && !error) {
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000 ? 0x40000000 : size - done);
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, nullptr) || written == 0)
            error = lastError();
        done += written;
    }
    if (!error && !FlushFileBuffers(file))
        error = lastError();
    CloseHandle(file);
    if (!error && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = lastError();
    if (error)
        DeleteFileW(temporary.c_str());
    return error;
}

bool isMissing(int error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool isRefused(int error)
{
    return error == ERROR_ACCESS_DENIED;
}

int linkCount(const Path& path, std::uint64_t& count)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    BY_HANDLE_FILE_INFORMATION info{};
    const int error = GetFileInformationByHandle(file, &info) ? 0 : lastError();
    CloseHandle(file);
    count = error ? 0 : info.nNumberOfLinks;
    return error;
}

int reserveSize(Handle handle, std::int64_t size)
{
    std::int64_t now = 0;
    if (const int error = fileSize(handle, now); error || now >= size)
        return error;
    // Lengthening a file takes its clusters on NTFS: a full disk says so here.
    return truncateFile(handle, size);
}

int openPlainFile(const Path& path, bool forWriting, Handle& handle)
{
    handle = noHandle;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_DIRECTORY;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | (forWriting ? GENERIC_WRITE : 0),
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    if (const int error = diskFileOnly(file))
        return error;
    handle = reinterpret_cast<Handle>(file);
    return 0;
}

int fileSize(Handle handle, std::int64_t& size)
{
    LARGE_INTEGER value{};
    if (!GetFileSizeEx(toHandle(handle), &value))
        return lastError();
    size = value.QuadPart;
    return 0;
}

int freeSpace(const Path& path, std::int64_t& bytes)
{
    // The call takes a folder; a file's own folder holds it.
    Path folder = path;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        folder = path.substr(0, path.find_last_of(L"\\/:") + 1);
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &available, nullptr, nullptr))
        return lastError();
    bytes = static_cast<std::int64_t>(available.QuadPart);
    return 0;
}

int readAt(Handle handle, std::int64_t offset, char* data, std::size_t size, std::size_t& done)
{
    done = 0;
    while (done < size) {
        OVERLAPPED overlapped = at(offset + static_cast<std::int64_t>(done));
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000 ? 0x40000000 : size - done);
        DWORD read = 0;
        if (!ReadFile(toHandle(handle), data + done, chunk, &read, &overlapped)) {
            const int error = lastError();
            return error == ERROR_HANDLE_EOF ? 0 : error;
        }
        if (read == 0)
            break;
        done += read;
    }
    return 0;
}

int writeAt(Handle handle, std::int64_t offset, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED overlapped = at(offset + static_cast<std::int64_t>(done));
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000 ? 0x40000000 : size - done);
        DWORD written = 0;
        if (!WriteFile(toHandle(handle), data + done, chunk, &written, &overlapped) || written == 0)
            return lastError();
        done += written;
    }
    return 0;
}

int truncateFile(Handle handle, std::int64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(toHandle(handle), FileEndOfFileInfo, &end, sizeof end) ? 0 : lastError();
}

int syncFile(Handle handle)
{
    return FlushFileBuffers(toHandle(handle)) ? 0 : lastError();
}

void closeFile(Handle handle)
{
    if (handle != noHandle)
        CloseHandle(toHandle(handle));
}

int openOwnFile(const Path& path, int& descriptor)
{
    descriptor = -1;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        bool dropName = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; // a link: removed itself
        if (!dropName && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return ERROR_DIRECTORY;
        if (!dropName) { // a file with other names is not emptied through this one
            HANDLE existing = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            BY_HANDLE_FILE_INFORMATION info{};
            if (existing != INVALID_HANDLE_VALUE) {
                dropName = GetFileType(existing) != FILE_TYPE_DISK
                    || (GetFileInformationByHandle(existing, &info) && info.nNumberOfLinks > 1);
                CloseHandle(existing);
            }
        }
        if (dropName)
            if (const int error = removeLink(path))
                return error;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    if (const int error = diskFileOnly(file))
        return error;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return ERROR_TOO_MANY_OPEN_FILES;
    }
    descriptor = fd;
    return 0;
}

namespace {
// True when a name stands in the folder: a lock file that another copy is just removing
// cannot be opened, but is still listed.
bool isListed(const Path& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool isDeletePending(HANDLE file)
{
    FILE_STANDARD_INFO info{};
    return GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) && info.DeletePending;
}

HANDLE openLockFile(const Path& path)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, share, nullptr, OPEN_ALWAYS, flags,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) // one the user may not remove
        file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, flags, nullptr);
    return file;
}
} // namespace

int lockForWriting(const Path& path, Handle& handle)
{
    handle = noHandle;
    const Path lockPath = path + L".lock";
    // At most about ten seconds: a copy of the program that hangs must not hang this one.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    int refusals = 0;
    for (;;) {
        HANDLE file = openLockFile(lockPath);
        if (file == INVALID_HANDLE_VALUE) {
            const int error = lastError();
            // Another copy let go and is removing it: a moment, then a new one. A lock file
            // that is truly closed to this user is given up on after a second.
            if (error != ERROR_ACCESS_DENIED || !isListed(lockPath) || ++refusals > 50 || GetTickCount64() > deadline)
                return error;
            Sleep(20);
            continue;
        }
        bool locked = false;
        for (;;) {
            OVERLAPPED whole{};
            locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole);
            if (locked || GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount64() > deadline)
                break;
            Sleep(20);
        }
        if (locked && !isDeletePending(file)) {
            handle = reinterpret_cast<Handle>(file);
            return 0;
        }
        const int error = locked ? ERROR_LOCK_VIOLATION : lastError();
        CloseHandle(file);
        // Locked only after its holder had removed it: the next copy locks a new file.
        if (!locked || GetTickCount64() > deadline)
            return error;
    }
}

void unlockFile(Handle handle)
{
    if (handle == noHandle)
        return;
    // Removed when the handle closes (those waiting on it see it go and take a new one);
    // without the right to remove it, it stays as a plain empty file.
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    SetFileInformationByHandle(toHandle(handle), FileDispositionInfo, &remove, sizeof remove);
    closeFile(handle); // closing lets go of the lock
}

int listDirectory(const Path& folder, std::vector<Entry>& entries)
{
    entries.clear();
    Path pattern = folder;
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/'))
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const int error = lastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    do {
        const Path name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        Entry entry;
        entry.name = name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            entry.kind = EntryKind::Link;
        else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entry.kind = EntryKind::Directory;
        entry.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        entries.push_back(entry);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return 0;
}

int clearReadOnly(const Path& path)
{
    return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) ? 0 : lastError();
}

int removeFile(const Path& path)
{
    return DeleteFileW(path.c_str()) ? 0 : lastError();
}

int removeLink(const Path& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    // A junction or a directory symbolic link is removed as a folder; its target stays.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(path.c_str()) ? 0 : lastError();
    return DeleteFileW(path.c_str()) ? 0 : lastError();
}

int removeDirectory(const Path& path)
{
    return RemoveDirectoryW(path.c_str()) ? 0 : lastError();
}

bool isReadOnly(const Path& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
        && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool isLink(const Path& path)
{
    Path bare = path;
    while (bare.size() > 3 && (bare.back() == L'\\' || bare.back() == L'/'))
        bare.pop_back();
    const DWORD attributes = GetFileAttributesW(bare.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace nativefs
