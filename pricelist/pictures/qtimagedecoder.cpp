#include "pricelist/pictures/qtimagedecoder.h"

#include "common/errors.h"
#include "pricelist/pictures/picturefit.h"
#include "pricelist/pictures/picturefile.h"

#include <QFile>
#include <QImageReader>

#include <mutex>

DecodedPicture decodeWithQtReader(PictureFile& file, const QByteArray& format, QSize box)
{
    // A process-wide setting of Qt (every reader refuses pictures needing more), set once
    // since the cache's worker decodes too.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(int(pictureMemoryLimit / (1024 * 1024))); });

    QFile device;
    if (!device.open(file.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        throw Error(device.errorString());
    QImageReader reader(&device, format);
    reader.setDecideFormatFromContent(false);

    QImage image = reader.read();
    if (image.isNull())
        throw Error(reader.errorString());
    DecodedPicture picture;
    picture.naturalSize = image.size();
    picture.decodedSize = image.size();
    const QSize fitted = fitToBox(image.size(), box);
    if (fitted.isEmpty())
        return picture;
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    picture.shown = fitted == image.size() ? std::move(image)
                                           : image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}
