#pragma once
// The file system calls the program needs, reporting the operating system's own error
// number (GetLastError on Windows, errno elsewhere). Free of Qt so that the Windows
// source can be compiled alone. Returns 0 on success.

#include <cstddef>
#include <cstdint>
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
// A file too large to be read whole (EFBIG, ERROR_FILE_TOO_LARGE).
#ifdef _WIN32
constexpr int tooLarge = 223;
#else
constexpr int tooLarge = 27;
#endif

// An open file: a descriptor on Linux, a HANDLE on Windows; -1 when none.
using Handle = std::intptr_t;
constexpr Handle noHandle = -1;

// Creates one folder; its parent must exist.
int makeDirectory(const Path& path);
// Writes the whole file to a temporary file beside it and renames it over the target;
// on failure the old file is left as it was. A symbolic link is followed: the file it
// names is replaced and the link stays. A folder, pipe or device there is refused.
// A file with other names (hard links), or one whose folder refuses the temporary file
// or the rename (a shared folder the user cannot write), is written in place instead
// (writeInPlace), so every name keeps seeing it and a writable file is always written.
int replaceFile(const Path& path, const char* data, std::size_t size);
// The temporary file and rename alone; path names the file itself, not a link.
int replaceThroughTemporary(const Path& path, const char* data, std::size_t size);
// Writes the whole existing plain file at path in place: the room for the new length is
// taken first, so a full disk fails before any old byte is overwritten; then the data
// from the start, the file cut to its length, and flushed to the disk.
int writeInPlace(const Path& path, const char* data, std::size_t size);
// How many names (hard links) the file at path has; links followed.
int linkCount(const Path& path, std::uint64_t& count);
// Takes room on the disk for the file to reach size bytes; the file's length itself may
// grow to size. Nothing for a file already that long.
int reserveSize(Handle handle, std::int64_t size);
// True for the error numbers of a folder or file that refuses this user (access denied).
bool isRefused(int error);
// The path that symbolic links at path lead to (path itself when it is none); the last
// target need not exist.
int resolveLinks(const Path& path, Path& target);

// True for the error numbers of a missing file or folder.
bool isMissing(int error);
// Opens an existing plain file, following links, for reading (and writing). A folder,
// pipe or device is refused with an error, never opened for long and never waited on.
int openPlainFile(const Path& path, bool forWriting, Handle& handle);
int fileSize(Handle handle, std::int64_t& size);
// The bytes this user may still write on the file system that holds path (an existing
// file or folder).
int freeSpace(const Path& path, std::int64_t& bytes);
// Reads up to size bytes at offset; done is less than size only at the end of the file.
int readAt(Handle handle, std::int64_t offset, char* data, std::size_t size, std::size_t& done);
// Writes all of data at offset.
int writeAt(Handle handle, std::int64_t offset, const char* data, std::size_t size);
int truncateFile(Handle handle, std::int64_t size);
int syncFile(Handle handle);
void closeFile(Handle handle);

// Creates path as a file of its own, open for reading and writing, and gives its C
// run-time descriptor. A plain file there with no other name is reused as it is; a link
// (to anything), a file with other names, a pipe or a device is removed first, never
// written through; a folder is refused.
int openOwnFile(const Path& path, int& descriptor);

// What tells one version of a file from another without reading it: the file system
// and the file's number on it, its length and the times of its last write and last
// change (of data or attributes), in nanoseconds.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
};
// What openForReading gives for anything but a plain file; no system error number.
constexpr int notPlainFile = -1;
// Opens an existing file for reading, links followed, as a C run-time descriptor. Never
// waits: a pipe is not waited on for a writer. What was opened is then looked at: a
// folder, pipe or device is closed again (notPlainFile); identity is the opened file's.
int openForReading(const Path& path, int& descriptor, FileIdentity& identity);
// The identity of the file that path leads to now (links followed).
int identifyFile(const Path& path, FileIdentity& identity);
// Reads up to size bytes at the descriptor's position; done is 0 only at the end.
int readSome(int descriptor, char* data, std::size_t size, std::size_t& done);
void closeDescriptor(int descriptor);
// Takes an exclusive lock on the whole open file without waiting: fails at once while
// another opener holds one. It is let go when the descriptor is closed.
int lockOpenFile(int descriptor);

// Takes an exclusive advisory lock for writing the file at path, waiting at most a few
// seconds for another process to let go; unlockFile releases it. Linux locks the file's
// folder; Windows a lock file beside it (name + ".lock"), removed again when it is let
// go, so neither leaves anything behind.
int lockForWriting(const Path& path, Handle& handle);
void unlockFile(Handle handle);

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
// True when path (a trailing separator ignored) is itself a symbolic link or junction.
bool isLink(const Path& path);

} // namespace nativefs
