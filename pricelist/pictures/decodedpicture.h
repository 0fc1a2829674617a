#pragma once
// What a picture decoder gives its callers.

#include <QImage>
#include <QSize>
#include <QtGlobal>

struct DecodedPicture {
    QSize naturalSize; // the whole picture's size, as it is seen (EXIF orientation applied)
    QImage shown;      // the picture at fitToBox(naturalSize, box)
    // The size the decoder itself produced before the last smooth scale: for JPEG the
    // DCT-scaled size, for the others the natural size (a metafile: the fitted size).
    QSize decodedSize;
};

// The most memory one decode may take; a picture announcing more is refused as a
// decompression bomb instead of being decoded.
constexpr qint64 pictureMemoryLimit = qint64(512) * 1024 * 1024;

// A progressive JPEG with more scans than this is refused: each scan costs a pass over
// the whole picture, and real photos have about ten.
constexpr int jpegScanLimit = 1000;
