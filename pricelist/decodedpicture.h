#pragma once
// What a picture decoder gives the picture box.

#include <QImage>
#include <QSize>
#include <QtGlobal>

struct DecodedPicture {
    QSize naturalSize; // the whole picture's size
    QImage shown;      // only the part a box shows: cutToBox(naturalSize, box).source
};

// The most memory one decode may take; a picture announcing more is refused as a
// decompression bomb instead of being decoded.
constexpr qint64 pictureMemoryLimit = qint64(512) * 1024 * 1024;
