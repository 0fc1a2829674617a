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

int identityOf(HANDLE file, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!GetFileInformationByHandle(file, &info) || !GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        return lastError();
    identity.device = info.dwVolumeSerialNumber;
    identity.file = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = static_cast<std::int64_t>((std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // Counted in 100 ns steps.
    identity.modifiedNs = times.LastWriteTime.QuadPart * 100;
    identity.changedNs = times.ChangeTime.QuadPart * 100;
    return 0;
}

HANDLE osHandle(int descriptor)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}
} // namespace

int openForReading(const Path& path, int& descriptor, FileIdentity& identity)
{
    descriptor = -1;
    // A folder opens only with backup semantics; it is told by its attributes instead.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return notPlainFile;
    // Links followed. A pipe whose server is busy fails at once (ERROR_PIPE_BUSY) rather
    // than being waited on; any pipe or device that does open is refused below.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return notPlainFile;
    }
    if (const int error = identityOf(file, identity)) {
        CloseHandle(file);
        return error;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return ERROR_TOO_MANY_OPEN_FILES;
    }
    descriptor = fd;
    return 0;
}

int identifyFile(const Path& path, FileIdentity& identity)
{
    // Attributes only, and backup semantics so that a folder answers as it does to stat.
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    const int error = identityOf(file, identity);
    CloseHandle(file);
    return error;
}

int readSome(int descriptor, char* data, std::size_t size, std::size_t& done)
{
    done = 0;
    const DWORD chunk = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
    DWORD read = 0;
    if (!ReadFile(osHandle(descriptor), data, chunk, &read, nullptr)) {
        const int error = lastError();
        return error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE ? 0 : error;
    }
    done = read;
    return 0;
}

void closeDescriptor(int descriptor)
{
    if (descriptor >= 0)
        _close(descriptor);
}

int lockOpenFile(int descriptor)
{
    OVERLAPPED whole{};
    return LockFileEx(osHandle(descriptor), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &whole)
        ? 0
        : lastError();
}

} // namespace nativefs
