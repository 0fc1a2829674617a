#pragma once
// QString front of the native file calls (common/nativefs.h).

#include "common/nativefs.h"

#include <QByteArray>
#include <QString>

nativefs::Path nativePath(const QString& path);
QString fromNativePath(const nativefs::Path& path);

// Temporary file + rename; 0 or the operating system's error number.
int writeWholeFile(const QString& path, const QByteArray& bytes);
