// A picture that fits the box is shown centred at its natural size; a larger one is shown
// whole, scaled down with its aspect ratio kept, centred; JPEG photos stand as their EXIF
// orientation says.

#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictures/picturefit.h"
#include "tests/pictures/picturefixtures.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct FitCase {
    QSize picture;
    QSize shown;
    QPoint at;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.picture.width() << "x" << c.picture.height();
}

const FitCase fitCases[] = {
    {{100, 60}, {100, 60}, {85, 105}},    // smaller: natural size
    {{270, 270}, {270, 270}, {0, 0}},     // exactly
    {{101, 61}, {101, 61}, {84, 104}},    // odd margins
    {{270, 40}, {270, 40}, {0, 115}},     // as wide as the box
    {{6000, 4000}, {270, 180}, {0, 45}},  // a phone photo, wide
    {{4000, 6000}, {180, 270}, {45, 0}},  // and tall
    {{500, 100}, {270, 54}, {0, 108}},    // wider only
    {{100, 900}, {30, 270}, {120, 0}},    // taller only
    {{271, 272}, {269, 270}, {0, 0}},     // one pixel larger
    {{5000, 1}, {270, 1}, {0, 134}},      // a line stays one pixel high
};

class PictureFitTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(PictureFitTable, GivesTheShownSizeAndPlaceInA270Box)
{
    const FitCase& c = GetParam();
    const QSize shown = fitToBox(c.picture, QSize(270, 270));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(placeInBox(shown, QSize(270, 270)), c.at);
}

// Through the box, from a PNG file: the shown pixels are the picture scaled by Qt.
TEST_P(PictureFitTable, ShowsThePictureAsQtScalesIt)
{
    const FitCase& c = GetParam();
    if (qint64(c.picture.width()) * c.picture.height() > 4000000)
        GTEST_SKIP() << "the JPEG cases take the photo sizes";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    const QImage source = gradient(c.picture);
    writeBytes(path, qtImageBytes(source, "png"));

    PictureBox box;
    box.resize(270, 270);
    box.loadFromFile(path);
    EXPECT_EQ(box.pictureSize(), c.picture);
    ASSERT_EQ(box.shownPart().size(), c.shown);
    EXPECT_EQ(box.shownAt(), c.at);
    const QImage expected = source.scaled(c.shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LE(worstDifference(box.shownPart(), expected), 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureFitTable, ::testing::ValuesIn(fitCases));

struct OrientationCase {
    int orientation;
    QSize stored;
    QSize natural; // as seen
};

void PrintTo(const OrientationCase& c, std::ostream* os)
{
    *os << "orientation " << c.orientation;
}

class ExifOrientation : public ::testing::TestWithParam<OrientationCase> {};

// Qt's reader with its automatic transform is the reference for every orientation.
TEST_P(ExifOrientation, ShowsThePhotoAsQtTurnsIt)
{
    const OrientationCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeBytes(path, withExifOrientation(jpegBytes(corners(c.stored), JpegKind::Baseline), c.orientation));

    PictureBox box;
    box.resize(270, 270);
    box.loadFromFile(path);
    EXPECT_EQ(box.pictureSize(), c.natural);
    const QSize fitted = fitToBox(c.natural, QSize(270, 270));
    ASSERT_EQ(box.shownPart().size(), fitted);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage upright = reader.read();
    ASSERT_EQ(upright.size(), c.natural);
    const QImage expected = upright.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage& shown = box.shownPart();
    const int w = fitted.width(), h = fitted.height();
    for (const QPoint p : {QPoint(w / 6, h / 6), QPoint(w - w / 6, h / 6), QPoint(w / 6, h - h / 6),
                           QPoint(w - w / 6, h - h / 6), QPoint(w / 2, h / 2)})
        EXPECT_TRUE(near(shown.pixelColor(p), expected.pixelColor(p)))
            << p.x() << "," << p.y() << " " << shown.pixelColor(p).name().toStdString() << " "
            << expected.pixelColor(p).name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    All, ExifOrientation,
    ::testing::Values(OrientationCase {1, {900, 600}, {900, 600}}, OrientationCase {2, {900, 600}, {900, 600}},
                      OrientationCase {3, {900, 600}, {900, 600}}, OrientationCase {4, {900, 600}, {900, 600}},
                      OrientationCase {5, {900, 600}, {600, 900}}, OrientationCase {6, {900, 600}, {600, 900}},
                      OrientationCase {7, {900, 600}, {600, 900}}, OrientationCase {8, {900, 600}, {600, 900}},
                      OrientationCase {6, {120, 90}, {90, 120}},    // fits: turned, natural size
                      OrientationCase {8, {240, 300}, {300, 240}}), // fits stored, not turned
    [](const auto& info) { return std::to_string(info.param.orientation) + "_" + std::to_string(info.param.stored.width()); });

// What the user sees: the box painted with the picture at its place.
TEST(PictureBoxPaint, DrawsThePictureCentredAndNothingAroundIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("small.png"));
    writeBytes(path, qtImageBytes(quadrants({100, 60}), "png"));

    PictureBox box;
    box.resize(270, 270);
    box.setAutoFillBackground(true);
    QPalette palette = box.palette();
    palette.setColor(QPalette::Window, Qt::white);
    box.setPalette(palette);
    box.loadFromFile(path);

    const QImage screen = box.grab().toImage();
    EXPECT_TRUE(near(screen.pixelColor(87, 107), Qt::red));        // picture's top-left
    EXPECT_TRUE(near(screen.pixelColor(182, 162), Qt::yellow));    // picture's bottom-right
    EXPECT_TRUE(near(screen.pixelColor(83, 107), Qt::white));      // left of it
    EXPECT_TRUE(near(screen.pixelColor(87, 166), Qt::white));      // below it

    // A photo larger than the box: all of it, 270 x 180, with white above and below.
    const QString large = dir.filePath(QStringLiteral("large.jpg"));
    writeBytes(large, jpegBytes(quadrants({1500, 1000}), JpegKind::Baseline));
    box.loadFromFile(large);
    const QImage whole = box.grab().toImage();
    EXPECT_TRUE(near(whole.pixelColor(2, 47), Qt::red));
    EXPECT_TRUE(near(whole.pixelColor(267, 47), Qt::green));
    EXPECT_TRUE(near(whole.pixelColor(2, 222), Qt::blue));
    EXPECT_TRUE(near(whole.pixelColor(267, 222), Qt::yellow));
    EXPECT_TRUE(near(whole.pixelColor(135, 42), Qt::white));
    EXPECT_TRUE(near(whole.pixelColor(135, 227), Qt::white));
}

} // namespace
