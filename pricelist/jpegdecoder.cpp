#include "pricelist/jpegdecoder.h"

#include "common/errors.h"
#include "pricelist/picturecut.h"
#include "pricelist/picturefile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports errors by calling back into us. We leave its C frames with longjmp to a
// setjmp in guarded() below, whose steps hold no C++ objects of their own, so no destructor
// is skipped; the error then continues as an ordinary exception.

namespace {

struct ErrorManager {
    jpeg_error_mgr pub {};
    std::jmp_buf jump {};
    char message[JMSG_LENGTH_MAX] {};
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    ++cinfo->err->num_warnings;
    // Data cut short or damaged would show as grey or smeared rows: make it an error.
    // Warnings about unusual headers are let through.
    switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
        errorExit(cinfo);
    default:
        break;
    }
}

// Reads the file in pieces, so that stopping after the box's rows also stops reading.
struct Source {
    jpeg_source_mgr pub {};
    PictureFile* file = nullptr;
    bool atStart = true;
    JOCTET buffer[64 * 1024];
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    qint64 n = source->file->readSome(reinterpret_cast<char*>(source->buffer), sizeof source->buffer);
    if (n < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (n == 0) {
        if (source->atStart)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        n = 2;
    }
    source->atStart = false;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = size_t(n);
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto* source = reinterpret_cast<Source*>(cinfo->src);
    while (count > long(source->pub.bytes_in_buffer)) {
        count -= long(source->pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    if (count > 0) {
        source->pub.next_input_byte += count;
        source->pub.bytes_in_buffer -= size_t(count);
    }
}

// Runs one step of libjpeg calls; false when libjpeg reported an error.
template <typename Step>
bool guarded(ErrorManager& errors, Step&& step)
{
    if (setjmp(errors.jump))
        return false;
    step();
    return true;
}

// What a progressive JPEG keeps for the whole picture until its last scan is read.
qint64 coefficientBytes(const jpeg_decompress_struct& cinfo)
{
    qint64 total = 0;
    for (int c = 0; c < cinfo.num_components; ++c) {
        const jpeg_component_info& comp = cinfo.comp_info[c];
        const qint64 columns = (qint64(comp.width_in_blocks) + comp.h_samp_factor - 1) / comp.h_samp_factor * comp.h_samp_factor;
        const qint64 rows = (qint64(comp.height_in_blocks) + comp.v_samp_factor - 1) / comp.v_samp_factor * comp.v_samp_factor;
        total += columns * rows * qint64(sizeof(JBLOCK));
    }
    return total;
}

constexpr J_COLOR_SPACE rgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// Adobe's CMYK JPEGs (all that occur in practice) store the inks inverted.
void cmykToRgb32(const JSAMPLE* cmyk, QRgb* out, int count)
{
    for (int i = 0; i < count; ++i, cmyk += 4) {
        const int k = cmyk[3];
        out[i] = qRgb(cmyk[0] * k / 255, cmyk[1] * k / 255, cmyk[2] * k / 255);
    }
}

class Decompressor {
public:
    explicit Decompressor(PictureFile& file)
    {
        cinfo_.err = jpeg_std_error(&errors_.pub);
        errors_.pub.error_exit = errorExit;
        errors_.pub.emit_message = emitMessage;
        source_.file = &file;
        source_.pub.init_source = initSource;
        source_.pub.fill_input_buffer = fillInputBuffer;
        source_.pub.skip_input_data = skipInputData;
        source_.pub.resync_to_restart = jpeg_resync_to_restart;
        source_.pub.term_source = termSource;
        run([this] { jpeg_create_decompress(&cinfo_); });
        created_ = true;
        cinfo_.src = &source_.pub;
    }
    ~Decompressor()
    {
        if (created_)
            jpeg_destroy_decompress(&cinfo_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    template <typename Step>
    void run(Step&& step)
    {
        if (!guarded(errors_, step))
            throw Error(QString::fromLocal8Bit(errors_.message));
    }

    jpeg_decompress_struct& info() { return cinfo_; }

private:
    jpeg_decompress_struct cinfo_ {};
    ErrorManager errors_;
    Source source_;
    bool created_ = false;
};

} // namespace

DecodedPicture decodeJpeg(PictureFile& file, QSize box)
{
    Decompressor jpeg(file);
    jpeg_decompress_struct& cinfo = jpeg.info();
    jpeg.run([&] { jpeg_read_header(&cinfo, TRUE); });

    DecodedPicture picture;
    picture.naturalSize = QSize(int(cinfo.image_width), int(cinfo.image_height));
    if (jpeg_has_multiple_scans(&cinfo) && coefficientBytes(cinfo) > pictureMemoryLimit)
        throw Error(QStringLiteral("The picture is too large (%1 x %2 pixels)")
                        .arg(cinfo.image_width).arg(cinfo.image_height));
    cinfo.mem->max_memory_to_use = long(pictureMemoryLimit);

    const QRect part = cutToBox(picture.naturalSize, box).source;
    if (part.isEmpty())
        return picture;

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : rgb32Space;
    picture.shown = QImage(part.size(), QImage::Format_RGB32);
    if (picture.shown.isNull())
        throw Error(QStringLiteral("Out of memory"));

    // The upsampler treats the crop's edges as the picture's edges, so a few columns are
    // added on each side for the shown columns to get their true neighbours. The crop
    // then widens to whole blocks: left moves left and width grows.
    const int margin = 2 * cinfo.max_h_samp_factor;
    const int cropLeft = std::max(0, part.x() - margin);
    const int cropRight = std::min(picture.naturalSize.width(), part.x() + part.width() + margin);
    JDIMENSION left = JDIMENSION(cropLeft);
    JDIMENSION width = JDIMENSION(cropRight - cropLeft);
    jpeg.run([&] {
        jpeg_start_decompress(&cinfo);
        jpeg_crop_scanline(&cinfo, &left, &width);
        if (part.y() > 0)
            jpeg_skip_scanlines(&cinfo, JDIMENSION(part.y()));
    });

    std::vector<JSAMPLE> row(size_t(width) * size_t(cinfo.output_components));
    const size_t skipBytes = size_t(JDIMENSION(part.x()) - left) * size_t(cinfo.output_components);
    for (int y = 0; y < part.height(); ++y) {
        JSAMPROW rows[1] = {row.data()};
        jpeg.run([&] { jpeg_read_scanlines(&cinfo, rows, 1); });
        auto* out = reinterpret_cast<QRgb*>(picture.shown.scanLine(y));
        if (cmyk)
            cmykToRgb32(row.data() + skipBytes, out, part.width());
        else
            std::memcpy(out, row.data() + skipBytes, size_t(part.width()) * 4);
    }
    // The rows below the box are never decoded.
    jpeg_abort_decompress(&cinfo);
    return picture;
}
