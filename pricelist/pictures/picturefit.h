#pragma once
// The size a picture is shown at in a box: its natural size when it fits, else the largest
// size with the same aspect ratio that fits (never enlarged), centred in the box.

#include <QPoint>
#include <QSize>

#include <algorithm>

inline QSize fitToBox(QSize picture, QSize box)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    // Qt's own rounding, so that a reference scaled by Qt has the same size.
    return picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// Where a picture of the shown size is drawn in the box (integer division, as the box
// always centred its pictures).
inline QPoint placeInBox(QSize shown, QSize box)
{
    return QPoint((box.width() - shown.width()) / 2, (box.height() - shown.height()) / 2);
}
