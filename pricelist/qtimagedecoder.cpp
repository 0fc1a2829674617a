#include "pricelist/qtimagedecoder.h"

#include "common/errors.h"
#include "pricelist/picturecut.h"
#include "pricelist/picturefile.h"

#include <QFile>
#include <QImageReader>

DecodedPicture decodeWithQtReader(PictureFile& file, const QByteArray& format, QSize box)
{
    // A process-wide setting of Qt; every reader refuses pictures needing more.
    QImageReader::setAllocationLimit(int(pictureMemoryLimit / (1024 * 1024)));

    QFile device;
    if (!device.open(file.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        throw Error(device.errorString());
    QImageReader reader(&device, format);
    reader.setDecideFormatFromContent(false);

    DecodedPicture picture;
    picture.naturalSize = reader.size();
    const bool clipped = picture.naturalSize.isValid() && reader.supportsOption(QImageIOHandler::ClipRect);
    if (clipped) {
        const QRect part = cutToBox(picture.naturalSize, box).source;
        if (part.isEmpty())
            return picture;
        reader.setClipRect(part);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw Error(reader.errorString());
    if (!clipped) {
        picture.naturalSize = image.size();
        image = image.copy(cutToBox(picture.naturalSize, box).source);
    }
    picture.shown = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
    return picture;
}
