#include "common/nativefs.h"

namespace nativefs {

int replaceFile(const Path& path, const char* data, std::size_t size)
{
    Path target;
    if (const int error = resolveLinks(path, target))
        return error;
    // A new file through a rename would leave the other names on the old one.
    std::uint64_t links = 0;
    if (linkCount(target, links) == 0 && links > 1)
        return writeInPlace(target, data, size);
    const int error = replaceThroughTemporary(target, data, size);
    if (!isRefused(error))
        return error;
    // The folder is not the user's to write; the file may well be.
    const int inPlace = writeInPlace(target, data, size);
    return isMissing(inPlace) ? error : inPlace;
}

int writeInPlace(const Path& path, const char* data, std::size_t size)
{
    Handle file = noHandle;
    if (const int error = openPlainFile(path, true, file))
        return error;
    std::int64_t oldSize = 0;
    int error = fileSize(file, oldSize);
    const auto newSize = static_cast<std::int64_t>(size);
    if (!error && newSize > oldSize) {
        error = reserveSize(file, newSize);
        if (error)
            truncateFile(file, oldSize); // as it was: nothing of it overwritten yet
    }
    if (!error)
        error = writeAt(file, 0, data, size);
    if (!error)
        error = truncateFile(file, newSize);
    if (!error)
        error = syncFile(file);
    closeFile(file);
    return error;
}

} // namespace nativefs
