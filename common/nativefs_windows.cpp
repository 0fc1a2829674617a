#include "common/nativefs.h"

#include <windows.h>

namespace nativefs {

namespace {
int lastError()
{
    const DWORD code = GetLastError();
    return code ? static_cast<int>(code) : ERROR_GEN_FAILURE;
}
}

int makeDirectory(const Path& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) ? 0 : lastError();
}

int replaceFile(const Path& path, const char* data, std::size_t size)
{
    const Path temporary = path + L".tmp~" + std::to_wstring(GetCurrentProcessId());
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
    if (!error && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = lastError();
    if (error)
        DeleteFileW(temporary.c_str());
    return error;
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

} // namespace nativefs
