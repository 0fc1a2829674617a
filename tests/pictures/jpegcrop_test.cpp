// The JPEG decoder's crop, skip and early stop give exactly the pixels a full decode
// gives for the part the box shows.

#include "pricelist/picturebox.h"
#include "pricelist/picturecut.h"
#include "tests/pictures/picturefixtures.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CropCase {
    QSize size;
    JpegKind kind;
};

void PrintTo(const CropCase& c, std::ostream* os)
{
    *os << c.size.width() << "x" << c.size.height() << (c.kind == JpegKind::Progressive ? " progressive" : " baseline");
}

class JpegCrop : public ::testing::TestWithParam<CropCase> {};

TEST_P(JpegCrop, MatchesAFullDecodeInTheShownPart)
{
    const CropCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeBytes(path, jpegBytes(gradient(c.size), c.kind));

    PictureBox box;
    box.resize(270, 270);
    box.loadFromFile(path);

    const QImage full = QImageReader(path).read().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(full.size(), c.size);
    const QRect part = cutToBox(c.size, QSize(270, 270)).source;
    const QImage expected = full.copy(part);
    const QImage& shown = box.shownPart();
    ASSERT_EQ(shown.size(), expected.size());
    int worst = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegCrop,
                         ::testing::Values(CropCase {{1001, 777}, JpegKind::Baseline},
                                           CropCase {{1001, 777}, JpegKind::Progressive},
                                           CropCase {{333, 1200}, JpegKind::Baseline},
                                           CropCase {{2000, 150}, JpegKind::Baseline},
                                           CropCase {{271, 271}, JpegKind::Baseline},
                                           CropCase {{302, 290}, JpegKind::Baseline},
                                           CropCase {{57, 43}, JpegKind::Progressive}));

} // namespace
