#include "pricelist/pictures/metafilehelper/metafilesvg.h"

#include "common/errors.h"
#include "pricelist/pictures/metafileframe.h"

#include <cstdlib>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

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

} // namespace

MetafileSvg wmfToSvg(const QByteArray& bytes)
{
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
    // libwmf only reads the bytes; they stay where the guard page follows them.
    check(wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData())), long(bytes.size())));
    wmfD_Rect bounds {};
    check(wmf_scan(api.get(), 0, &bounds));
    unsigned int width = 0, height = 0;
    check(wmf_display_size(api.get(), &width, &height, metafilePixelsPerInch, metafilePixelsPerInch));
    if (width == 0 || height == 0 || width > 1000000 || height > 1000000)
        throw Error(QStringLiteral("Metafile is not valid"));

    wmf_svg_t* svg = WMF_SVG_GetData(api.get());
    svg->out = wmf_stream_create(api.get(), nullptr); // to memory, owned by the API
    svg->bbox = bounds;
    svg->width = width;
    svg->height = height;
    check(wmf_play(api.get(), 0, &bounds));
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api.get(), svg->out, &text, &length);
    return {QByteArray(text, qsizetype(length)), QSize(int(width), int(height))};
}

MetafileSvg emfToSvg(const QByteArray& bytes)
{
    const QSize naturalSize = emfNaturalSize(bytes);
    generatorOptions options {};
    char nameSpace[] = "";
    options.nameSpace = nameSpace;
    options.svgDelimiter = true;
    char* text = nullptr;
    size_t length = 0;
    const int ok = emf2svg(const_cast<char*>(bytes.constData()), size_t(bytes.size()), &text, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    if (!ok || !text)
        throw Error(QStringLiteral("Metafile is not valid"));
    return {QByteArray(text, qsizetype(length)), naturalSize};
}
