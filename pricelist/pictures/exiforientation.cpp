#include "pricelist/pictures/exiforientation.h"

#include <QTransform>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int orientationTag = 0x0112;

} // namespace

int exifOrientation(jpeg_saved_marker_ptr markers)
{
    for (jpeg_saved_marker_ptr m = markers; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        const uchar* tiff = m->data + 6;
        const quint32 length = m->data_length - 6;
        const bool little = tiff[0] == 'I' && tiff[1] == 'I';
        if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
            return 1;
        const auto u16 = [&](quint32 at) { return little ? qFromLittleEndian<quint16>(tiff + at) : qFromBigEndian<quint16>(tiff + at); };
        const auto u32 = [&](quint32 at) { return little ? qFromLittleEndian<quint32>(tiff + at) : qFromBigEndian<quint32>(tiff + at); };
        const quint32 ifd = u32(4);
        if (ifd > length - 2)
            return 1;
        const quint32 count = u16(ifd);
        for (quint32 i = 0; i < count; ++i) {
            const quint64 entry = quint64(ifd) + 2 + quint64(i) * 12;
            if (entry + 12 > length)
                return 1;
            if (u16(quint32(entry)) == orientationTag) {
                const int value = u16(quint32(entry) + 8);
                return value >= 1 && value <= 8 ? value : 1;
            }
        }
        return 1;
    }
    return 1;
}

QImage orientedImage(QImage image, int orientation)
{
    const auto turned = [&](int degrees) { return image.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return turned(90).mirrored(true, false);
    case 6: return turned(90);
    case 7: return turned(90).mirrored(false, true);
    case 8: return turned(270);
    default: return image;
    }
}
