#include "common/filewritelock.h"

#include "common/fileops.h"

FileWriteLock::FileWriteLock(const QString& path)
{
    nativefs::Path target;
    if (nativefs::resolveLinks(nativePath(path), target) == 0)
        nativefs::lockForWriting(target, handle_);
}

FileWriteLock::~FileWriteLock()
{
    nativefs::unlockFile(handle_);
}
