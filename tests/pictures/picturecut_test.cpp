// A picture is shown centred at its natural size and cut at the box's edges.

#include "pricelist/picturebox.h"
#include "pricelist/picturecut.h"
#include "tests/pictures/picturefixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CutCase {
    QSize picture;
    QRect source;
    QPoint target;
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.picture.width() << "x" << c.picture.height();
}

class PictureCutTable : public ::testing::TestWithParam<CutCase> {};

TEST_P(PictureCutTable, CentresAndCutsInA270Box)
{
    const CutCase& c = GetParam();
    const PictureCut cut = cutToBox(c.picture, QSize(270, 270));
    EXPECT_EQ(cut.source, c.source);
    EXPECT_EQ(cut.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PictureCutTable,
    ::testing::Values(CutCase {{100, 60}, {0, 0, 100, 60}, {85, 105}},         // smaller
                      CutCase {{270, 270}, {0, 0, 270, 270}, {0, 0}},          // exactly
                      CutCase {{101, 61}, {0, 0, 101, 61}, {84, 104}},         // odd margins
                      CutCase {{1001, 777}, {365, 253, 270, 270}, {0, 0}},     // larger
                      CutCase {{271, 272}, {0, 1, 270, 270}, {0, 0}},          // one pixel larger
                      CutCase {{500, 100}, {115, 0, 270, 100}, {0, 85}},       // wider only
                      CutCase {{6000, 4000}, {2865, 1865, 270, 270}, {0, 0}}));

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

    const QString large = dir.filePath(QStringLiteral("large.png"));
    writeBytes(large, qtImageBytes(quadrants({1000, 800}), "png"));
    box.loadFromFile(large);
    const QImage cut = box.grab().toImage();
    EXPECT_TRUE(near(cut.pixelColor(2, 2), Qt::red));
    EXPECT_TRUE(near(cut.pixelColor(267, 2), Qt::green));
    EXPECT_TRUE(near(cut.pixelColor(2, 267), Qt::blue));
    EXPECT_TRUE(near(cut.pixelColor(267, 267), Qt::yellow));
}

} // namespace
