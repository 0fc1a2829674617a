#pragma once
// Picture files made by the tests themselves: JPEGs through libjpeg's compressor, the
// other raster kinds through Qt's writers, and tiny metafiles built record by record.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <string>

enum class JpegKind { Baseline, Progressive, Grayscale, Cmyk };

// Four quadrants split at the centre: red, green / blue, yellow.
QImage quadrants(QSize size);
// A smooth pattern with detail everywhere, for pixel-by-pixel comparisons.
QImage gradient(QSize size);

QByteArray jpegBytes(const QImage& image, JpegKind kind, int quality = 90);
// Rewrites the frame header's height and width (a decompression bomb from a small file).
QByteArray withJpegSize(QByteArray jpeg, int width, int height);
QByteArray withPngSize(QByteArray png, int width, int height);
QByteArray qtImageBytes(const QImage& image, const char* format);

// A placeable WMF (96 units per inch) filled with one colour.
QByteArray wmfBytes(QSize size, QColor fill);
// An EMF whose frame is size at 96 pixels per inch, filled with one colour.
QByteArray emfBytes(QSize size, QColor fill);

void writeBytes(const QString& path, const QByteArray& bytes);

// A test name made of a file name: letters and digits kept, the rest "_".
std::string testNameOf(const char* fileName);

// Whether two colours differ by at most tolerance in each channel.
bool near(QColor a, QColor b, int tolerance = 24);
