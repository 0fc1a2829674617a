#include "pricelist/pictures/picturedecoder.h"

#include "common/errors.h"
#include "pricelist/pictures/jpegdecoder.h"
#include "pricelist/pictures/metafiledecoder.h"
#include "pricelist/pictures/picturefile.h"
#include "pricelist/pictures/qtimagedecoder.h"

#include <QFileInfo>

namespace {

using Decoder = DecodedPicture (*)(PictureFile&, QSize);

struct Kind {
    const char* extension;
    Decoder decoder;
};

const Kind kinds[] = {
    {"jpg", decodeJpeg},
    {"jpeg", decodeJpeg},
    {"png", [](PictureFile& f, QSize box) { return decodeWithQtReader(f, "png", box); }},
    {"bmp", [](PictureFile& f, QSize box) { return decodeWithQtReader(f, "bmp", box); }},
    {"ico", [](PictureFile& f, QSize box) { return decodeWithQtReader(f, "ico", box); }},
    {"tif", [](PictureFile& f, QSize box) { return decodeWithQtReader(f, "tiff", box); }},
    {"tiff", [](PictureFile& f, QSize box) { return decodeWithQtReader(f, "tiff", box); }},
    {"wmf", decodeWmf},
    {"emf", decodeEmf},
};

} // namespace

DecodedPicture decodePicture(const QString& path, QSize box)
{
    const QString extension = QFileInfo(path).suffix();
    for (const Kind& kind : kinds) {
        if (extension.compare(QLatin1String(kind.extension), Qt::CaseInsensitive) == 0) {
            PictureFile file(path);
            return kind.decoder(file, box);
        }
    }
    throw Error(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}
