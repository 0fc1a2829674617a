#pragma once
// QString front of the native file calls (common/nativefs.h).

#include "common/nativefs.h"

#include <QByteArray>
#include <QString>

nativefs::Path nativePath(const QString& path);
// The operating system's text for one of its error numbers, with the number: "Permission
// denied (13)".
QString systemErrorText(int error);
// The text alone, without the number: "Permission denied".
QString systemErrorReason(int error);
QString fromNativePath(const nativefs::Path& path);

// Temporary file + rename, or in place where that cannot be (nativefs::replaceFile); 0 or
// the operating system's error number. A link is followed and stays; a folder, pipe or
// device is refused.
int writeWholeFile(const QString& path, const QByteArray& bytes);
// Reads a plain file whole, links followed. A folder, pipe or device is refused without
// waiting on it, and so is a file longer than limit bytes. 0 or the operating system's
// error number (nativefs::isMissing tells a missing file).
int readWholeFile(const QString& path, QByteArray& bytes, qint64 limit);
