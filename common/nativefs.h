#pragma once
// The file system calls the program needs, reporting the operating system's own error
// number (GetLastError on Windows, errno elsewhere). Free of Qt so that the Windows
// source can be compiled alone. Returns 0 on success.

#include <cstddef>
#include <string>
#include <vector>

namespace nativefs {

#ifdef _WIN32
using Path = std::wstring;
#else
using Path = std::string;
#endif

// "The folder already exists" is reported as 183, as Windows numbers it.
constexpr int alreadyExists = 183;

// Creates one folder; its parent must exist.
int makeDirectory(const Path& path);
// Writes the whole file to a temporary file beside it and renames it over the target;
// on failure the old file is left as it was.
int replaceFile(const Path& path, const char* data, std::size_t size);

enum class EntryKind { File, Directory, Link };
struct Entry {
    Path name;
    EntryKind kind = EntryKind::File;
    bool readOnly = false;
};
// The entries of a folder in the order the file system gives them, hidden and system
// entries included, "." and ".." left out. A symbolic link or junction is a Link, never
// a Directory, so nothing walks through it.
int listDirectory(const Path& folder, std::vector<Entry>& entries);

int clearReadOnly(const Path& path);
int removeFile(const Path& path);
// Removes a symbolic link or junction itself, never its target.
int removeLink(const Path& path);
// Removes an empty folder.
int removeDirectory(const Path& path);
// True when a file exists at path and is marked read-only.
bool isReadOnly(const Path& path);

} // namespace nativefs
