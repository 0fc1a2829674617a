// Pictures that cannot be shown give an error and leave the picture shown before.

#include "pricelist/pictures/picturebox.h"
#include "tests/pictures/picturefixtures.h"
#include "tests/support/errortext.h"
#include "tests/support/qstringprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct BadCase {
    const char* fileName;
    std::function<QByteArray()> make;
    const char* message; // the whole message, or nullptr where only the library knows it
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.fileName;
}

QByteArray smallJpeg(JpegKind kind = JpegKind::Baseline)
{
    return jpegBytes(gradient({200, 150}), kind);
}

QByteArray smallPng()
{
    return qtImageBytes(gradient({200, 150}), "png");
}

const BadCase badCases[] = {
    {"picture.gif", [] { return smallPng(); }, "Unknown picture file extension (.gif)"},
    {"picture.Gif", [] { return smallPng(); }, "Unknown picture file extension (.Gif)"},
    {"picture", [] { return smallPng(); }, "Unknown picture file extension (.)"},
    {"png-inside.jpg", [] { return smallPng(); }, "Not a JPEG file: starts with 0x89 0x50"},
    {"jpeg-inside.png", [] { return smallJpeg(); }, nullptr},
    {"jpeg-inside.bmp", [] { return smallJpeg(); }, nullptr},
    {"jpeg-inside.tif", [] { return smallJpeg(); }, nullptr},
    {"jpeg-inside.ico", [] { return smallJpeg(); }, nullptr},
    {"text-inside.wmf", [] { return QByteArray("not a metafile at all, only text\n").repeated(4); }, nullptr},
    {"png-inside.emf", [] { return smallPng(); }, "Metafile is not valid"},
    {"empty.jpg", [] { return QByteArray(); }, "Empty input file"},
    {"empty.png", [] { return QByteArray(); }, nullptr},
    {"empty.wmf", [] { return QByteArray(); }, nullptr},
    {"empty.emf", [] { return QByteArray(); }, "Metafile is not valid"},
    {"cut.jpg", [] { return smallJpeg().left(smallJpeg().size() / 2); }, "Premature end of JPEG file"},
    {"cut-progressive.jpg", [] { return smallJpeg(JpegKind::Progressive).left(smallJpeg(JpegKind::Progressive).size() / 2); },
     "Premature end of JPEG file"},
    {"cut.png", [] { return smallPng().left(smallPng().size() / 2); }, nullptr},
    {"cut.wmf", [] { return wmfBytes({200, 100}, Qt::red).left(60); }, nullptr},
    {"cut.emf", [] { return emfBytes({200, 100}, Qt::red).chopped(20); }, "The metafile is cut short"},
    // Decompression bombs: small files announcing 50,000 x 50,000 pixels.
    {"bomb.jpg", [] { return withJpegSize(smallJpeg(), 50000, 50000); },
     "Corrupt JPEG data: premature end of data segment"},
    {"bomb-progressive.jpg", [] { return withJpegSize(smallJpeg(JpegKind::Progressive), 50000, 50000); },
     "The picture is too large (50000 x 50000 pixels)"},
    {"bomb.png", [] { return withPngSize(smallPng(), 50000, 50000); }, nullptr},
};

class BadPictures : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadPictures, GiveTheirErrorAndKeepThePictureShown)
{
    const BadCase& c = GetParam();
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.png"));
    writeBytes(good, qtImageBytes(quadrants({100, 60}), "png"));
    const QString bad = dir.filePath(QString::fromLatin1(c.fileName));
    writeBytes(bad, c.make());

    PictureBox box;
    box.loadFromFile(good);
    const QImage before = box.shownPart();

    const QString message = errorOf([&] { box.loadFromFile(bad); });
    if (c.message)
        EXPECT_EQ(message, QString::fromLatin1(c.message));
    else
        EXPECT_FALSE(message.isEmpty() || message == QStringLiteral("<no error>")) << message.toStdString();
    EXPECT_EQ(box.pictureSize(), QSize(100, 60));
    EXPECT_EQ(box.shownPart(), before);
}

INSTANTIATE_TEST_SUITE_P(All, BadPictures, ::testing::ValuesIn(badCases),
                         [](const auto& info) { return testNameOf(info.param.fileName); });

// Paths that are not regular files are refused at once: nothing waits for a writer or
// reads endless data.
TEST(PicturePaths, ThatAreNoRegularFileAreRefused)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.png"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString zero = dir.filePath(QStringLiteral("zero.jpg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString toFolder = dir.filePath(QStringLiteral("link-to-folder.bmp"));
    ASSERT_TRUE(QFile::link(folder, toFolder));
    const QString toFifo = dir.filePath(QStringLiteral("link-to-fifo.wmf"));
    ASSERT_TRUE(QFile::link(fifo, toFifo));

    for (const QString& path : {fifo, folder, zero, toFolder, toFifo}) {
        PictureBox box;
        EXPECT_EQ(errorOf([&] { box.loadFromFile(path); }),
                  QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(path));
        EXPECT_FALSE(box.hasPicture());
    }

    PictureBox box;
    const QString missing = dir.filePath(QStringLiteral("missing.jpg"));
    EXPECT_EQ(errorOf([&] { box.loadFromFile(missing); }),
              QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
}

TEST(PicturePaths, WithNonAsciiCharactersLoad)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bilder-æøå")));
    const QString path = dir.filePath(QStringLiteral("bilder-æøå/Bjørkeløv.jpg"));
    writeBytes(path, jpegBytes(quadrants({120, 80}), JpegKind::Baseline));

    PictureBox box;
    box.loadFromFile(path);
    EXPECT_EQ(box.pictureSize(), QSize(120, 80));
}

} // namespace
