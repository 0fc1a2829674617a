#pragma once
// What the program checks of a metafile itself, before any metafile library reads it.

#include <QByteArray>
#include <QSize>

// Metafiles are read whole; real ones are far smaller.
constexpr qint64 metafileSizeLimit = 64 * 1024 * 1024;
constexpr int metafilePixelsPerInch = 96;

// An EMF's size at 96 pixels per inch, from its frame. Throws Error ("Metafile is not
// valid", "The metafile is cut short") unless the header is sound and the records tile
// the file up to EMR_EOF.
QSize emfNaturalSize(const QByteArray& bytes);
