// The dialog loads the picture on every keystroke: an unchanged file is decoded once. The
// picture cache keeps the pictures shown and decodes the ones asked for ahead of time on
// its worker; a file that changes is decoded again.

#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictures/picturecache.h"
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

TEST(PictureCache, APictureShownBeforeComesFromTheCache)
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
    EXPECT_EQ(box.decodeCount(), 2);
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

TEST(PictureCache, PicturesDecodedAheadAreShownWithoutADecode)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* name : {"a.jpg", "b.jpg", "c.png"}) {
        paths << dir.filePath(QString::fromLatin1(name));
        writeBytes(paths.back(), paths.back().endsWith(QLatin1String("png")) ? qtImageBytes(quadrants({300, 200}), "png")
                                                                             : jpegBytes(quadrants({1200, 900}), JpegKind::Baseline));
    }
    PictureCache& cache = PictureCache::instance();
    const int before = cache.workerDecodes();
    PictureBox box;
    box.resize(270, 270);
    cache.prefetch(paths, box.size());
    cache.waitUntilIdle();
    EXPECT_EQ(cache.workerDecodes(), before + 3);
    for (const QString& path : paths) {
        box.loadFromFile(path);
        EXPECT_FALSE(box.shownPart().isNull());
    }
    EXPECT_EQ(box.decodeCount(), 0);
    EXPECT_EQ(box.shownPart().size(), QSize(270, 180));

    // Asked for again: the worker finds them in the cache. Asked for at another size: not.
    cache.prefetch(paths, box.size());
    cache.waitUntilIdle();
    EXPECT_EQ(cache.workerDecodes(), before + 3);

    // Changed on disk after it was decoded ahead: decoded again when shown.
    writeBytes(paths[0], jpegBytes(quadrants({120, 90}), JpegKind::Baseline));
    box.loadFromFile(paths[0]);
    EXPECT_EQ(box.decodeCount(), 1);
    EXPECT_EQ(box.pictureSize(), QSize(120, 90));
}

TEST(PictureCache, AFailureDecodedAheadIsThrownWhenShown)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    writeBytes(path, QByteArray("GIF89a, not a JPEG"));
    PictureCache& cache = PictureCache::instance();
    cache.prefetch({path}, QSize(270, 270));
    cache.waitUntilIdle();

    PictureBox box;
    box.resize(270, 270);
    EXPECT_EQ(errorOf([&] { box.loadFromFile(path); }), QStringLiteral("Not a JPEG file: starts with 0x47 0x49"));
    EXPECT_EQ(box.decodeCount(), 0);
}

TEST(PictureCache, HoldsAFewMegabytesAtMost)
{
    QTemporaryDir dir;
    PictureCache& cache = PictureCache::instance();
    cache.clear();
    PictureBox box;
    box.resize(270, 270);
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        paths << dir.filePath(QStringLiteral("p%1.png").arg(i));
        writeBytes(paths.back(), qtImageBytes(quadrants({270, 270}), "png"));
        box.loadFromFile(paths.back());
    }
    EXPECT_EQ(box.decodeCount(), 40);
    // The latest are still there; the first were dropped to stay within the capacity.
    box.loadFromFile(paths[38]);
    EXPECT_EQ(box.decodeCount(), 40);
    box.loadFromFile(paths[0]);
    EXPECT_EQ(box.decodeCount(), 41);
}

} // namespace
