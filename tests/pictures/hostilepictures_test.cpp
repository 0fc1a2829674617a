// Crafted files cannot take the program down: a JPEG of thousands of scans is refused,
// and metafiles that crash, hang or flood the metafile helper end with the decoder's error
// while the program goes on showing pictures.

#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictures/metafiledecoder.h"
#include "pricelist/pictures/picturedecoder.h"
#include "tests/pictures/picturefixtures.h"
#include "tests/support/errortext.h"
#include "tests/support/qstringprint.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The first scan of a progressive JPEG (the DC scan) repeated: libjpeg reads each copy
// again over the whole picture, with no more than a warning.
QByteArray withRepeatedFirstScan(const QByteArray& jpeg, int copies)
{
    const QByteArray sos("\xFF\xDA", 2);
    const qsizetype first = jpeg.indexOf(sos), second = jpeg.indexOf(sos, first + 2);
    return jpeg.left(second) + jpeg.mid(first, second - first).repeated(copies) + jpeg.mid(second);
}

TEST(HostileJpeg, ThousandsOfScansAreRefusedAndAFewHundredDecode)
{
    QTemporaryDir dir;
    const QByteArray photo = jpegBytes(gradient({200, 150}), JpegKind::Progressive);
    const QString many = dir.filePath(QStringLiteral("many-scans.jpg"));
    writeBytes(many, withRepeatedFirstScan(photo, 5000));
    EXPECT_EQ(errorOf([&] { decodePicture(many, QSize(270, 270)); }),
              QStringLiteral("The picture has too many scans (more than 1000)"));

    const QString some = dir.filePath(QStringLiteral("some-scans.jpg"));
    writeBytes(some, withRepeatedFirstScan(photo, 500));
    EXPECT_EQ(decodePicture(some, QSize(270, 270)).shown.size(), QSize(200, 150));
}

struct HostileMetafile {
    const char* name;
    std::function<QByteArray()> make;
    bool drawable; // this library version survives it; it may draw it or refuse it
};

void PrintTo(const HostileMetafile& c, std::ostream* os)
{
    *os << c.name;
}

QByteArray logPalette(int entries)
{
    QByteArray palette;
    palette.append(char(0x00)).append(char(0x03)).append(char(entries & 0xFF)).append(char(entries >> 8));
    return palette + QByteArray(entries * 4, '\x40');
}

QByteArray eightBitBitmapWithoutPalette()
{
    QByteArray info(40, '\0');
    const auto set32 = [&info](int at, quint32 v) { qToLittleEndian<quint32>(v, info.data() + at); };
    set32(0, 40);
    set32(4, 4);
    set32(8, 4);
    info[12] = 1;  // planes
    info[14] = 8;  // bits per pixel, and no colours follow
    set32(20, 16);
    // bounds, dest x y, src x y cx cy, bmi offset and size, bits offset and size, usage, rop, dest cx cy
    return emfRecord(81, {0, 0, 4, 4, 0, 0, 0, 0, 4, 4, 80, 40, 120, 16, 0, 0x00CC0020, 4, 4}, info + QByteArray(16, '\x07'));
}

// Files the metafile libraries have been seen to crash on or to spend seconds in.
const HostileMetafile realHelperCases[] = {
    {"palette-1024.emf", [] { return emfBytes({100, 80}, Qt::red, emfRecord(49, {1}, logPalette(1024)) + emfRecord(48, {1}) + emfRecord(52, {})); }, true},
    {"palette-entries-1024.emf", [] { return emfBytes({100, 80}, Qt::red, emfRecord(49, {1}, logPalette(16)) + emfRecord(50, {1, 0, 1024}, QByteArray(4096, '\x20'))); }, true},
    {"short-font.emf", [] { return emfBytes({100, 80}, Qt::red, emfRecord(82, {1})); }, false},
    {"bitmap-without-palette.emf", [] { return emfBytes({100, 80}, Qt::red, eightBitBitmapWithoutPalette()); }, true},
    {"many-savedc.wmf", [] { return wmfBytesWith({100, 80}, wmfRecords(0x001E, 400000)); }, false},
};

class HostileMetafiles : public ::testing::TestWithParam<HostileMetafile> {};

TEST_P(HostileMetafiles, EndWithTheDecodersErrorAndTheProgramGoesOn)
{
    const HostileMetafile& c = GetParam();
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.emf"));
    writeBytes(good, emfBytes({150, 80}, Qt::green));
    const QString bad = dir.filePath(QString::fromLatin1(c.name));
    writeBytes(bad, c.make());

    PictureBox box;
    box.loadFromFile(good);
    const QString message = errorOf([&] { box.loadFromFile(bad); });
    if (c.drawable && message == QStringLiteral("<no error>")) {
        EXPECT_EQ(box.pictureSize(), QSize(100, 80));
    } else {
        EXPECT_EQ(message, QStringLiteral("The metafile could not be drawn"));
        EXPECT_EQ(box.pictureSize(), QSize(150, 80));
    }
    const QString again = dir.filePath(QStringLiteral("again.emf"));
    writeBytes(again, emfBytes({60, 40}, Qt::blue));
    box.loadFromFile(again);
    EXPECT_EQ(box.pictureSize(), QSize(60, 40));
}

INSTANTIATE_TEST_SUITE_P(Crafted, HostileMetafiles, ::testing::ValuesIn(realHelperCases),
                         [](const auto& info) { return testNameOf(info.param.name); });

// A helper taken over by a file: whatever it does, the answer is the decoder's error, and
// no wait lasts longer than the helper's limits.
TEST(HostileHelper, EveryMisbehaviourEndsWithTheDecodersError)
{
    setMetafileHelper(QStringLiteral(HOSTILE_HELPER));
    QTemporaryDir dir;
    struct Case {
        const char* mode;
        const char* message;
    };
    const Case cases[] = {
        {"fine", nullptr},
        {"crash", "The metafile could not be drawn"},
        {"spin", "The metafile could not be drawn"},       // CPU time
        {"allocate", "The metafile could not be drawn"},   // memory
        {"sleep", "The metafile could not be drawn"},      // wall clock
        {"garbage", "The metafile could not be drawn"},
        {"wrong-size", "The metafile could not be drawn"},
        {"endless", "The metafile could not be drawn"},
        {"exit-1", "The metafile could not be drawn"},
        {"socket", "socket: Permission denied"},            // no network
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const QString path = dir.filePath(QString::fromLatin1(c.mode) + QStringLiteral(".wmf"));
        writeBytes(path, QByteArray(c.mode) + "\n");
        QElapsedTimer clock;
        clock.start();
        const QString message = errorOf([&] { decodePicture(path, QSize(270, 270)); });
        EXPECT_EQ(message, c.message ? QString::fromLatin1(c.message) : QStringLiteral("<no error>"));
        EXPECT_LT(clock.elapsed(), 20000);
    }
    setMetafileHelper({});
}

TEST(HostileHelper, AMissingHelperIsTheDecodersError)
{
    QTemporaryDir dir;
    setMetafileHelper(dir.filePath(QStringLiteral("no-such-helper")));
    const QString path = dir.filePath(QStringLiteral("picture.wmf"));
    writeBytes(path, wmfBytes({20, 10}, Qt::red));
    EXPECT_EQ(errorOf([&] { decodePicture(path, QSize(270, 270)); }), QStringLiteral("The metafile could not be drawn"));
    setMetafileHelper({});
}

} // namespace
