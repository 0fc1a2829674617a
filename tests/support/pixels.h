#pragma once
// Pixel checks on grabbed widgets.

#include <QColor>
#include <QImage>
#include <QRect>

// Whether any pixel of rect in image is a clear green (the web-shop rows' colour).
inline bool hasGreen(const QImage& image, const QRect& rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 90 && c.red() < 60 && c.blue() < 60)
                return true;
        }
    return false;
}
