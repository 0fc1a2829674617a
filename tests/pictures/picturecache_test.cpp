// The dialog loads the picture on every keystroke: an unchanged file is decoded once.

#include "pricelist/picturebox.h"
#include "tests/pictures/picturefixtures.h"
#include "tests/support/errortext.h"
#include "tests/support/qstringprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PictureCache, AnUnchangedFileIsDecodedOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rose.jpg"));
    writeBytes(path, jpegBytes(quadrants({300, 300}), JpegKind::Baseline));

    PictureBox box;
    box.loadFromFile(path);
    box.loadFromFile(path);
    box.loadFromFile(path);
    EXPECT_EQ(box.decodeCount(), 1);
}

TEST(PictureCache, AChangedFileIsDecodedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rose.jpg"));
    writeBytes(path, jpegBytes(quadrants({300, 300}), JpegKind::Baseline));
    PictureBox box;
    box.loadFromFile(path);

    // Rewritten in place with a picture of another size.
    writeBytes(path, jpegBytes(quadrants({120, 90}), JpegKind::Baseline));
    box.loadFromFile(path);
    EXPECT_EQ(box.decodeCount(), 2);
    EXPECT_EQ(box.pictureSize(), QSize(120, 90));

    // Replaced by another file under the same name, same size and content.
    const QString other = dir.filePath(QStringLiteral("other.jpg"));
    writeBytes(other, jpegBytes(quadrants({120, 90}), JpegKind::Baseline));
    ASSERT_TRUE(QFile::remove(path) && QFile::rename(other, path));
    box.loadFromFile(path);
    EXPECT_EQ(box.decodeCount(), 3);
}

TEST(PictureCache, OnlyThePictureShownIsRemembered)
{
    QTemporaryDir dir;
    const QString rose = dir.filePath(QStringLiteral("rose.png"));
    const QString tulip = dir.filePath(QStringLiteral("tulip.png"));
    writeBytes(rose, qtImageBytes(quadrants({40, 40}), "png"));
    writeBytes(tulip, qtImageBytes(quadrants({50, 50}), "png"));

    PictureBox box;
    box.loadFromFile(rose);
    box.loadFromFile(tulip);
    box.loadFromFile(rose);
    EXPECT_EQ(box.decodeCount(), 3);
    EXPECT_EQ(box.pictureSize(), QSize(40, 40));
}

TEST(PictureCache, AFailedUnchangedFileGivesItsErrorWithoutDecodingAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    writeBytes(path, QByteArray("GIF89a, not a JPEG"));

    PictureBox box;
    const QString first = errorOf([&] { box.loadFromFile(path); });
    const QString second = errorOf([&] { box.loadFromFile(path); });
    EXPECT_EQ(first, QStringLiteral("Not a JPEG file: starts with 0x47 0x49"));
    EXPECT_EQ(second, first);
    EXPECT_EQ(box.decodeCount(), 1);

    writeBytes(path, jpegBytes(quadrants({30, 20}), JpegKind::Baseline));
    box.loadFromFile(path);
    EXPECT_EQ(box.decodeCount(), 2);
    EXPECT_EQ(box.pictureSize(), QSize(30, 20));
}

TEST(PictureCache, AResizedBoxDecodesAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rose.jpg"));
    writeBytes(path, jpegBytes(quadrants({600, 600}), JpegKind::Baseline));

    PictureBox box;
    box.resize(270, 270);
    box.loadFromFile(path);
    box.resize(400, 300);
    box.loadFromFile(path);
    EXPECT_EQ(box.decodeCount(), 2);
    EXPECT_EQ(box.shownPart().size(), QSize(300, 300));
}

} // namespace
