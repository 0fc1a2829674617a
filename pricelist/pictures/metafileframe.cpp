#include "pricelist/pictures/metafileframe.h"

#include "common/errors.h"

#include <QtEndian>

QSize emfNaturalSize(const QByteArray& bytes)
{
    const auto invalid = [] { return Error(QStringLiteral("Metafile is not valid")); };
    const auto cutShort = [] { return Error(QStringLiteral("The metafile is cut short")); };
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const auto u32 = [data](qsizetype at) { return qFromLittleEndian<quint32>(data + at); };
    const auto i32 = [data](qsizetype at) { return qFromLittleEndian<qint32>(data + at); };
    if (bytes.size() < 88 || u32(0) != 1 || u32(40) != 0x464D4520)
        throw invalid();
    if (u32(48) > quint64(bytes.size()))
        throw cutShort();
    qsizetype at = 0;
    const qsizetype end = u32(48);
    for (;;) {
        if (end - at < 8)
            throw cutShort();
        const quint32 type = u32(at), size = u32(at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(end - at))
            throw invalid();
        at += size;
        if (type == 14) // EMR_EOF
            break;
    }
    // rclFrame, in hundredths of a millimetre, rounded to pixels.
    const qint64 width = qint64(i32(32)) - i32(24), height = qint64(i32(36)) - i32(28);
    if (width <= 0 || height <= 0 || width > 100000000 || height > 100000000)
        throw invalid();
    return QSize(int((width * metafilePixelsPerInch + 1270) / 2540), int((height * metafilePixelsPerInch + 1270) / 2540));
}
