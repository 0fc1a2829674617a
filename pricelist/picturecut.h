#pragma once
// Where a picture shown centred at its natural size lands in a box, and which part of it
// the box's edges leave visible.

#include <QPoint>
#include <QRect>
#include <QSize>

struct PictureCut {
    QRect source;  // the visible part, in the picture's own pixels (empty when nothing shows)
    QPoint target; // where that part's top-left corner is drawn in the box
};

inline PictureCut cutToBox(QSize picture, QSize box)
{
    // Integer division truncates toward zero, also for a picture larger than the box.
    const int left = (box.width() - picture.width()) / 2;
    const int top = (box.height() - picture.height()) / 2;
    const QRect placed(left, top, picture.width(), picture.height());
    const QRect visible = placed.intersected(QRect(QPoint(0, 0), box));
    if (visible.isEmpty())
        return {};
    return {visible.translated(-left, -top), visible.topLeft()};
}
