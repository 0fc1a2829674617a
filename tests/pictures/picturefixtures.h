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
// An EMF whose frame is size at 96 pixels per inch, filled with one colour; lastRecords
// stand right before its EOF record.
QByteArray emfBytes(QSize size, QColor fill, const QByteArray& lastRecords = {});
// One EMF record: type, size, the words, then the tail's bytes.
QByteArray emfRecord(quint32 type, std::initializer_list<quint32> words, const QByteArray& tail = {});
// count WMF records of one function without parameters, and a WMF that holds them.
QByteArray wmfRecords(int function, int count);
QByteArray wmfBytesWith(QSize size, const QByteArray& records);

void writeBytes(const QString& path, const QByteArray& bytes);

// A test name made of a file name: letters and digits kept, the rest "_".
std::string testNameOf(const char* fileName);

// Whether two colours differ by at most tolerance in each channel.
bool near(QColor a, QColor b, int tolerance = 24);

// The JPEG with an APP1 "Exif" marker that holds only the orientation tag (1 to 8).
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);
// A picture with a different colour in each corner region and a dark cross through the
// centre, so that a turned or mirrored picture is told from the upright one.
QImage corners(QSize size);
// The largest difference of any channel between two pictures of the same size.
int worstDifference(const QImage& a, const QImage& b);
// Smooth light and colour without sharp edges, like most of a photo.
QImage smoothPhoto(QSize size);
