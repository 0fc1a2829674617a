#pragma once
// An advisory lock for one file's write-back, so that two copies of the program that
// share a settings file or a log take turns: each re-reads the file under the lock and
// puts only its own changes onto it.

#include "common/nativefs.h"

#include <QString>

class FileWriteLock {
public:
    // Locks the writing of the file that path leads to (links followed). When no lock can
    // be had (a folder that cannot be opened, a copy that does not let go within seconds)
    // it holds none, and the write goes ahead as it would in a copy running alone.
    explicit FileWriteLock(const QString& path);
    ~FileWriteLock();
    FileWriteLock(const FileWriteLock&) = delete;
    FileWriteLock& operator=(const FileWriteLock&) = delete;

    bool held() const { return handle_ != nativefs::noHandle; }

private:
    nativefs::Handle handle_ = nativefs::noHandle;
};
