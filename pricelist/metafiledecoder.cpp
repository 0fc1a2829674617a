#include "pricelist/metafiledecoder.h"

#include "common/errors.h"
#include "pricelist/picturecut.h"
#include "pricelist/picturefile.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

// Metafiles are read whole; real ones are far smaller.
constexpr qint64 metafileSizeLimit = 64 * 1024 * 1024;
constexpr int pixelsPerInch = 96;

QString invalidMetafile()
{
    return QStringLiteral("Metafile is not valid");
}

DecodedPicture render(const QByteArray& svg, QSize naturalSize, QSize box)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw Error(invalidMetafile());
    DecodedPicture picture;
    picture.naturalSize = naturalSize;
    const QRect part = cutToBox(naturalSize, box).source;
    if (part.isEmpty())
        return picture;
    picture.shown = QImage(part.size(), QImage::Format_ARGB32_Premultiplied);
    picture.shown.fill(Qt::transparent);
    QPainter painter(&picture.shown);
    painter.translate(-part.topLeft());
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(naturalSize)));
    return picture;
}

QString wmfErrorText(wmf_error_t error)
{
    switch (error) {
    case wmf_E_InsMem: return QStringLiteral("An attempt to allocate memory has failed");
    case wmf_E_BadFile: return QStringLiteral("Attempt to open an unreadable file, or to read from an unopened file");
    case wmf_E_BadFormat: return QStringLiteral("The metafile, if indeed it is a metafile, has been corrupted");
    case wmf_E_EOF: return QStringLiteral("An unexpected end-of-file has been reached");
    default: return QStringLiteral("The metafile could not be drawn (libwmf error %1)").arg(int(error));
    }
}

struct WmfApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

// An EMF is a header record followed by records that must tile the file up to EMR_EOF;
// libemf2svg trusts the sizes it reads, so they are checked first.
QSize emfNaturalSize(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const auto u32 = [data](qsizetype at) { return qFromLittleEndian<quint32>(data + at); };
    const auto i32 = [data](qsizetype at) { return qFromLittleEndian<qint32>(data + at); };
    if (bytes.size() < 88 || u32(0) != 1 || u32(40) != 0x464D4520)
        throw Error(invalidMetafile());
    if (u32(48) > quint64(bytes.size()))
        throw Error(QStringLiteral("The metafile is cut short"));
    qsizetype at = 0;
    const qsizetype end = u32(48);
    for (;;) {
        if (end - at < 8)
            throw Error(QStringLiteral("The metafile is cut short"));
        const quint32 type = u32(at), size = u32(at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(end - at))
            throw Error(invalidMetafile());
        at += size;
        if (type == 14) // EMR_EOF
            break;
    }
    // rclFrame, in hundredths of a millimetre, rounded to pixels.
    const qint64 width = qint64(i32(32)) - i32(24), height = qint64(i32(36)) - i32(28);
    if (width <= 0 || height <= 0 || width > 100000000 || height > 100000000)
        throw Error(invalidMetafile());
    return QSize(int((width * pixelsPerInch + 1270) / 2540), int((height * pixelsPerInch + 1270) / 2540));
}

} // namespace

DecodedPicture decodeWmf(PictureFile& file, QSize box)
{
    QByteArray bytes = file.readAll(metafileSizeLimit);

    wmfAPI_Options options {};
    options.function = wmf_svg_function;
    wmfAPI* created = nullptr;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmf_error_t error = wmf_api_create(&created, flags, &options);
    std::unique_ptr<wmfAPI, WmfApiDeleter> api(created);
    if (error != wmf_E_None)
        throw Error(wmfErrorText(error));

    const auto check = [&](wmf_error_t result) {
        if (result != wmf_E_None)
            throw Error(wmfErrorText(result));
    };
    check(wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())));
    wmfD_Rect bounds {};
    check(wmf_scan(api.get(), 0, &bounds));
    unsigned int width = 0, height = 0;
    check(wmf_display_size(api.get(), &width, &height, pixelsPerInch, pixelsPerInch));
    if (width == 0 || height == 0 || width > 1000000 || height > 1000000)
        throw Error(invalidMetafile());

    wmf_svg_t* svg = WMF_SVG_GetData(api.get());
    svg->out = wmf_stream_create(api.get(), nullptr); // to memory, owned by the API
    svg->bbox = bounds;
    svg->width = width;
    svg->height = height;
    check(wmf_play(api.get(), 0, &bounds));
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api.get(), svg->out, &text, &length);
    const QByteArray document(text, qsizetype(length));
    return render(document, QSize(int(width), int(height)), box);
}

DecodedPicture decodeEmf(PictureFile& file, QSize box)
{
    QByteArray bytes = file.readAll(metafileSizeLimit);
    const QSize naturalSize = emfNaturalSize(bytes);

    generatorOptions options {};
    char nameSpace[] = "";
    options.nameSpace = nameSpace;
    options.svgDelimiter = true;
    char* text = nullptr;
    size_t length = 0;
    const int ok = emf2svg(bytes.data(), size_t(bytes.size()), &text, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    if (!ok || !text)
        throw Error(invalidMetafile());
    return render(QByteArray(text, qsizetype(length)), naturalSize, box);
}
