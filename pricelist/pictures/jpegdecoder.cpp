#include "pricelist/pictures/jpegdecoder.h"

#include "common/errors.h"
#include "pricelist/pictures/exiforientation.h"
#include "pricelist/pictures/picturefit.h"
#include "pricelist/pictures/picturefile.h"

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

// Called while the scans are read: a file of thousands of tiny scans would otherwise cost
// a pass over the whole picture for each (djpeg -maxscans does the same).
void limitScans(j_common_ptr cinfo)
{
    const auto* info = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (info->input_scan_number <= jpegScanLimit)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(manager->message, sizeof manager->message, "The picture has too many scans (more than %d)",
                  jpegScanLimit);
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
        progress_.progress_monitor = limitScans;
        run([this] { jpeg_create_decompress(&cinfo_); });
        created_ = true;
        cinfo_.src = &source_.pub;
        cinfo_.progress = &progress_;
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
    jpeg_progress_mgr progress_ {};
    bool created_ = false;
};


// The largest DCT reduction (libjpeg-turbo scales by M/8) whose output still covers the
// fitted size, so that only one smooth scale is left and a photo is never decoded whole.
void chooseScale(jpeg_decompress_struct& cinfo, QSize fitted, bool turned)
{
    const QSize need = turned ? fitted.transposed() : fitted;
    for (unsigned int m = 1; m <= 8; ++m) {
        cinfo.scale_num = m;
        cinfo.scale_denom = 8;
        jpeg_calc_output_dimensions(&cinfo);
        if (int(cinfo.output_width) >= need.width() && int(cinfo.output_height) >= need.height())
            return;
    }
}

} // namespace

DecodedPicture decodeJpeg(PictureFile& file, QSize box)
{
    Decompressor jpeg(file);
    jpeg_decompress_struct& cinfo = jpeg.info();
    jpeg.run([&] {
        jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&cinfo, TRUE);
    });

    const int orientation = exifOrientation(cinfo.marker_list);
    const bool turned = orientationTurns(orientation);
    const QSize stored(int(cinfo.image_width), int(cinfo.image_height));

    DecodedPicture picture;
    picture.naturalSize = turned ? stored.transposed() : stored;
    if (jpeg_has_multiple_scans(&cinfo) && coefficientBytes(cinfo) > pictureMemoryLimit)
        throw Error(QStringLiteral("The picture is too large (%1 x %2 pixels)")
                        .arg(cinfo.image_width).arg(cinfo.image_height));
    cinfo.mem->max_memory_to_use = long(pictureMemoryLimit);

    const QSize fitted = fitToBox(picture.naturalSize, box);
    if (fitted.isEmpty())
        return picture;

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : rgb32Space;
    jpeg.run([&] { chooseScale(cinfo, fitted, turned); });
    QImage decoded(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (decoded.isNull())
        throw Error(QStringLiteral("Out of memory"));

    jpeg.run([&] { jpeg_start_decompress(&cinfo); });
    std::vector<JSAMPLE> row(cmyk ? size_t(cinfo.output_width) * 4 : 0);
    for (int y = 0; y < decoded.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(decoded.scanLine(y));
        JSAMPROW rows[1] = {cmyk ? row.data() : reinterpret_cast<JSAMPLE*>(out)};
        jpeg.run([&] { jpeg_read_scanlines(&cinfo, rows, 1); });
        if (cmyk)
            cmykToRgb32(row.data(), out, decoded.width());
    }
    jpeg_abort_decompress(&cinfo);

    decoded = orientedImage(std::move(decoded), orientation);
    picture.decodedSize = decoded.size();
    picture.shown = decoded.size() == fitted ? std::move(decoded)
                                             : decoded.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}
