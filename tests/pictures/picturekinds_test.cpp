// Every picture kind decodes to its natural size, and the box holds it fitted to the box.

#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictures/picturefit.h"
#include "tests/pictures/picturefixtures.h"
#include "tests/support/qstringprint.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct KindCase {
    const char* fileName;
    std::function<QByteArray()> make;
    QSize natural;
    QColor topLeft;     // the colour near the shown part's top-left corner
    QColor bottomRight; // and near its bottom-right corner
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.fileName;
}

const QSize wide(400, 200);
const QColor grayRed = QColor(qGray(qRgb(255, 0, 0)), qGray(qRgb(255, 0, 0)), qGray(qRgb(255, 0, 0)));
const QColor grayYellow = QColor(qGray(qRgb(255, 255, 0)), qGray(qRgb(255, 255, 0)), qGray(qRgb(255, 255, 0)));

const KindCase kindCases[] = {
    {"baseline.jpg", [] { return jpegBytes(quadrants(wide), JpegKind::Baseline); }, wide, Qt::red, Qt::yellow},
    {"progressive.jpeg", [] { return jpegBytes(quadrants(wide), JpegKind::Progressive); }, wide, Qt::red, Qt::yellow},
    {"gray.jpg", [] { return jpegBytes(quadrants(wide), JpegKind::Grayscale); }, wide, grayRed, grayYellow},
    {"cmyk.jpg", [] { return jpegBytes(quadrants(wide), JpegKind::Cmyk); }, wide, Qt::red, Qt::yellow},
    {"UPPER.JPG", [] { return jpegBytes(quadrants(wide), JpegKind::Baseline); }, wide, Qt::red, Qt::yellow},
    {"picture.png", [] { return qtImageBytes(quadrants(wide), "png"); }, wide, Qt::red, Qt::yellow},
    {"picture.Png", [] { return qtImageBytes(quadrants(wide), "png"); }, wide, Qt::red, Qt::yellow},
    {"picture.bmp", [] { return qtImageBytes(quadrants(wide), "bmp"); }, wide, Qt::red, Qt::yellow},
    {"picture.ico", [] { return qtImageBytes(quadrants({64, 32}), "ico"); }, {64, 32}, Qt::red, Qt::yellow},
    {"picture.tif", [] { return qtImageBytes(quadrants(wide), "tiff"); }, wide, Qt::red, Qt::yellow},
    {"picture.TIFF", [] { return qtImageBytes(quadrants(wide), "tiff"); }, wide, Qt::red, Qt::yellow},
    {"picture.wmf", [] { return wmfBytes({200, 100}, Qt::red); }, {200, 100}, Qt::red, Qt::red},
    {"picture.EMF", [] { return emfBytes({150, 80}, Qt::green); }, {150, 80}, Qt::green, Qt::green},
};

class PictureKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(PictureKinds, DecodeToTheirSizeAndShowTheWholePictureCentred)
{
    const KindCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(c.fileName));
    writeBytes(path, c.make());

    PictureBox box;
    box.resize(270, 270);
    box.loadFromFile(path);

    ASSERT_TRUE(box.hasPicture());
    EXPECT_EQ(box.pictureSize(), c.natural);
    const QSize shown = fitToBox(c.natural, QSize(270, 270));
    ASSERT_EQ(box.shownPart().size(), shown);
    EXPECT_EQ(box.shownAt(), QPoint((270 - shown.width()) / 2, (270 - shown.height()) / 2));
    const QColor tl = box.shownPart().pixelColor(3, 3);
    const QColor br = box.shownPart().pixelColor(shown.width() - 4, shown.height() - 4);
    EXPECT_TRUE(near(tl, c.topLeft)) << tl.name().toStdString();
    EXPECT_TRUE(near(br, c.bottomRight)) << br.name().toStdString();
    EXPECT_EQ(tl.alpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(All, PictureKinds, ::testing::ValuesIn(kindCases),
                         [](const auto& info) { return testNameOf(info.param.fileName); });

} // namespace
