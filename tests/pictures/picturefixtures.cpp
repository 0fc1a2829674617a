#include "tests/pictures/picturefixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

QImage quadrants(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width(), h = size.height();
    QPainter painter(&image);
    painter.fillRect(0, 0, w / 2, h / 2, Qt::red);
    painter.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    painter.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    painter.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return image;
}

QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), (x * 7 + y * 3) % 256));
    return image;
}

QByteArray jpegBytes(const QImage& image, JpegKind kind, int quality)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    switch (kind) {
    case JpegKind::Grayscale:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegKind::Cmyk:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    default:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width()) * size_t(cinfo.input_components));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            JSAMPLE* out = row.data() + x * cinfo.input_components;
            if (kind == JpegKind::Grayscale) {
                out[0] = JSAMPLE(qGray(p));
            } else if (kind == JpegKind::Cmyk) {
                // Adobe's convention: inks stored inverted, black from the darkest channel.
                const int k = 255 - std::max({qRed(p), qGreen(p), qBlue(p)});
                const auto ink = [k](int c) { return k == 255 ? 0 : (255 - c - k) * 255 / (255 - k); };
                out[0] = JSAMPLE(255 - ink(qRed(p)));
                out[1] = JSAMPLE(255 - ink(qGreen(p)));
                out[2] = JSAMPLE(255 - ink(qBlue(p)));
                out[3] = JSAMPLE(255 - k);
            } else {
                out[0] = JSAMPLE(qRed(p));
                out[1] = JSAMPLE(qGreen(p));
                out[2] = JSAMPLE(qBlue(p));
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QByteArray withJpegSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar marker = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)) {
            auto* sof = reinterpret_cast<uchar*>(jpeg.data() + i);
            qToBigEndian<quint16>(quint16(height), sof + 5);
            qToBigEndian<quint16>(quint16(width), sof + 7);
            return jpeg;
        }
    }
    throw std::runtime_error("no frame header");
}

static quint32 crc32(const uchar* data, qsizetype length)
{
    quint32 crc = 0xFFFFFFFF;
    for (qsizetype i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray withPngSize(QByteArray png, int width, int height)
{
    // Signature (8), then the IHDR chunk: length (4), "IHDR", width, height, ..., CRC.
    auto* ihdr = reinterpret_cast<uchar*>(png.data() + 8);
    qToBigEndian<quint32>(quint32(width), ihdr + 8);
    qToBigEndian<quint32>(quint32(height), ihdr + 12);
    qToBigEndian<quint32>(crc32(ihdr + 4, 17), ihdr + 21);
    return png;
}

QByteArray qtImageBytes(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        throw std::runtime_error(writer.errorString().toStdString());
    return bytes;
}

namespace {

void put16(QByteArray& out, int value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void put32(QByteArray& out, quint32 value)
{
    put16(out, int(value & 0xFFFF));
    put16(out, int(value >> 16));
}

quint32 colorRef(QColor c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

} // namespace

QByteArray wmfBytes(QSize size, QColor fill)
{
    QByteArray records;
    const auto record = [&records](int function, std::initializer_list<int> words) {
        put32(records, quint32(3 + words.size()));
        put16(records, function);
        for (int w : words)
            put16(records, w);
    };
    const int w = size.width(), h = size.height();
    record(0x020B, {0, 0});                       // SETWINDOWORG y, x
    record(0x020C, {h, w});                       // SETWINDOWEXT y, x
    const quint32 colour = colorRef(fill);
    record(0x02FC, {0, int(colour & 0xFFFF), int(colour >> 16), 0}); // CREATEBRUSHINDIRECT
    record(0x012D, {0});                          // SELECTOBJECT brush
    record(0x02FA, {5, 0, 0, 0, 0});              // CREATEPENINDIRECT, PS_NULL
    record(0x012D, {1});                          // SELECTOBJECT pen
    record(0x041B, {h, w, 0, 0});                 // RECTANGLE bottom, right, top, left
    record(0x0000, {});                           // EOF

    QByteArray out;
    put32(out, 0x9AC6CDD7);                       // placeable header
    put16(out, 0);
    for (int v : {0, 0, w, h, 96})
        put16(out, v);
    put32(out, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= quint16(uchar(out[i]) | uchar(out[i + 1]) << 8);
    put16(out, checksum);
    put16(out, 1);                                // META_HEADER: in memory
    put16(out, 9);
    put16(out, 0x0300);
    put32(out, quint32((18 + records.size()) / 2));
    put16(out, 2);
    put32(out, 8);
    put16(out, 0);
    return out + records;
}

QByteArray emfBytes(QSize size, QColor fill, const QByteArray& lastRecords)
{
    const int w = size.width(), h = size.height();
    QByteArray records;
    for (quint32 v : {39u, 24u, 1u, 0u, colorRef(fill), 0u}) // CREATEBRUSHINDIRECT
        put32(records, v);
    for (quint32 v : {37u, 12u, 1u})                          // SELECTOBJECT brush
        put32(records, v);
    for (quint32 v : {37u, 12u, 0x80000008u})                 // SELECTOBJECT NULL_PEN
        put32(records, v);
    for (quint32 v : {43u, 24u, 0u, 0u, quint32(w), quint32(h)}) // RECTANGLE
        put32(records, v);
    records += lastRecords;
    for (quint32 v : {14u, 20u, 0u, 16u, 20u})                // EOF
        put32(records, v);

    QByteArray out;
    const quint32 frameW = quint32((w * 2540 + 48) / 96), frameH = quint32((h * 2540 + 48) / 96);
    for (quint32 v : {1u, 88u, 0u, 0u, quint32(w - 1), quint32(h - 1), 0u, 0u, frameW, frameH,
                      0x464D4520u, 0x10000u, quint32(88 + records.size()), 6u})
        put32(out, v);
    put16(out, 2);                                // handles
    put16(out, 0);
    for (quint32 v : {0u, 0u, 0u, 1024u, 768u, 271u, 203u})
        put32(out, v);
    return out + records;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string testNameOf(const char* fileName)
{
    std::string name = fileName;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("II*\0", 4);
    put32(tiff, 8);           // first IFD
    put16(tiff, 1);           // one entry
    put16(tiff, 0x0112);      // Orientation
    put16(tiff, 3);           // SHORT
    put32(tiff, 1);
    put16(tiff, orientation);
    put16(tiff, 0);
    put32(tiff, 0);           // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray marker("\xFF\xE1", 2);
    marker.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF));
    return jpeg.left(2) + marker + payload + jpeg.mid(2);
}

QImage corners(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width(), h = size.height();
    QPainter painter(&image);
    painter.fillRect(0, 0, w, h, Qt::white);
    painter.fillRect(0, 0, w / 3, h / 3, Qt::red);
    painter.fillRect(w - w / 3, 0, w / 3, h / 3, Qt::green);
    painter.fillRect(0, h - h / 3, w / 3, h / 3, Qt::blue);
    painter.fillRect(w - w / 3, h - h / 3, w / 3, h / 3, Qt::yellow);
    return image;
}

int worstDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

QImage smoothPhoto(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double u = double(x) / size.width(), v = double(y) / size.height();
            line[x] = qRgb(int(255 * u), int(255 * v), int(128 + 100 * std::sin(6.28 * (u + v))));
        }
    }
    return image;
}

QByteArray emfRecord(quint32 type, std::initializer_list<quint32> words, const QByteArray& tail)
{
    QByteArray record;
    put32(record, type);
    put32(record, quint32(8 + words.size() * 4 + tail.size()));
    for (quint32 w : words)
        put32(record, w);
    return record + tail;
}

QByteArray wmfRecords(int function, int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i) {
        put32(records, 3);
        put16(records, function);
    }
    return records;
}

QByteArray wmfBytesWith(QSize size, const QByteArray& records)
{
    QByteArray plain = wmfBytes(size, Qt::red);
    // Before the EOF record (the last 6 bytes); the header's size in words grows with it.
    QByteArray out = plain.left(plain.size() - 6) + records + plain.right(6);
    const quint32 words = quint32((out.size() - 22) / 2);
    auto* header = reinterpret_cast<uchar*>(out.data() + 22);
    qToLittleEndian<quint32>(words, header + 6);
    return out;
}
