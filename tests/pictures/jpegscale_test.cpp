// JPEG photos are scaled while decoding (libjpeg-turbo's DCT scaling) by the largest
// reduction that still covers the fitted size, then smoothly to it: the result matches a
// full decode scaled by Qt.

#include "pricelist/pictures/picturedecoder.h"
#include "pricelist/pictures/picturefit.h"
#include "tests/pictures/picturefixtures.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ScaleCase {
    QSize size;
    JpegKind kind;
    QSize decoded; // what the DCT scaling gives
    int orientation = 1;
};

void PrintTo(const ScaleCase& c, std::ostream* os)
{
    *os << c.size.width() << "x" << c.size.height() << (c.kind == JpegKind::Progressive ? " progressive" : " baseline")
        << " orientation " << c.orientation;
}

class JpegScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScale, DecodesAtTheLargestReductionThatCoversTheBox)
{
    const ScaleCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeBytes(path, withExifOrientation(jpegBytes(smoothPhoto(c.size), c.kind), c.orientation));

    const DecodedPicture picture = decodePicture(path, QSize(270, 270));
    EXPECT_EQ(picture.decodedSize, c.decoded);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage full = reader.read();
    ASSERT_EQ(picture.naturalSize, full.size());
    const QSize fitted = fitToBox(full.size(), QSize(270, 270));
    ASSERT_EQ(picture.shown.size(), fitted);
    const QImage expected = full.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The reduced DCT and a full decode averaged by area differ by a few levels.
    EXPECT_LE(worstDifference(picture.shown, expected), 8);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegScale,
    ::testing::Values(ScaleCase {{2400, 1600}, JpegKind::Baseline, {300, 200}},       // 1/8
                      ScaleCase {{2400, 1600}, JpegKind::Progressive, {300, 200}},
                      ScaleCase {{1001, 777}, JpegKind::Baseline, {376, 292}},        // 3/8
                      ScaleCase {{333, 1200}, JpegKind::Baseline, {84, 300}},         // 2/8
                      ScaleCase {{540, 540}, JpegKind::Baseline, {270, 270}},         // 4/8, nothing left
                      ScaleCase {{271, 271}, JpegKind::Baseline, {271, 271}},         // 7/8 is too small
                      ScaleCase {{200, 150}, JpegKind::Progressive, {200, 150}},      // fits
                      ScaleCase {{2400, 1600}, JpegKind::Baseline, {200, 300}, 6},    // turned
                      ScaleCase {{57, 43}, JpegKind::Grayscale, {57, 43}},
                      ScaleCase {{900, 300}, JpegKind::Cmyk, {338, 113}}));           // 3/8

} // namespace
