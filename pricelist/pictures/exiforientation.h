#pragma once
// The EXIF orientation of a JPEG (tag 0x0112 of its APP1 "Exif" marker) and the turn that
// shows the picture upright.

#include <QImage>

#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

// 1 to 8; 1 (as stored) when the markers hold none or a damaged one.
int exifOrientation(jpeg_saved_marker_ptr markers);
// Whether the orientation swaps width and height.
inline bool orientationTurns(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}
QImage orientedImage(QImage image, int orientation);
