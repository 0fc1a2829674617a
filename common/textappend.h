#pragma once
// Adding lines to the end of a text file without reading or rewriting what it holds.

#include <QString>
#include <QStringList>

// Appends each line and CR LF to the existing plain file at path (links followed), in
// the file's own encoding: the one its byte-order mark names, else the system's code
// page, or byte for byte (Latin-1) when the end of the file (its last 64 KiB, the lines
// of the last runs) is not valid in that code page (looked at only when the new lines
// need more than ASCII). Only the mark and that end are read. A last line without its line
// break gets one first. On failure the file is cut back to its old length. Returns 0 or
// the operating system's error number (nativefs::isMissing tells a missing file).
int appendLines(const QString& path, const QStringList& lines);
