// The export's pictures come through the detail dialog's picture module: metafiles too,
// the decoder chosen by the extension, and only files inside the local document folder.

#include "tests/export/exportfixture.h"
#include "tests/pictures/picturefixtures.h"

#include <QImageReader>
#include <QRegularExpression>

namespace {

class ExportPictures : public ExportFixture {
protected:
    QString docs;
    void SetUp() override
    {
        ExportFixture::SetUp();
        docs = sandbox.root() + QStringLiteral("/docs/");
        QDir().mkpath(docs);
        writeinistring(QStringLiteral("DOC_LOCAL"), docs);
    }
    static int imagesInPdf(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Subtype\\s*/Image"))));
    }
};

TEST_F(ExportPictures, MetafilesAreInTheHtmlAndThePdf)
{
    writeBytes(docs + QStringLiteral("logo.wmf"), wmfBytes({400, 200}, Qt::red));
    writeBytes(docs + QStringLiteral("skilt.emf"), emfBytes({100, 50}, Qt::blue));
    add(QStringLiteral("Logo"), 1, 0, 0, {}, QStringLiteral("logo.wmf"));
    add(QStringLiteral("Skilt"), 2, 0, 0, {}, QStringLiteral("http://butikken.example/blomster/skilt.emf"));

    const ExportResult result = exportOnly(true, false, true, ProductSelection::All, true);
    EXPECT_EQ(result.picturesLeftOut, 0);
    ASSERT_EQ(result.files.size(), 2);
    const QString varer = folder("export\\html\\varer");
    EXPECT_EQ(entries(varer), (QStringList{QStringLiteral("vare-1.png"), QStringLiteral("vare-2.png")}));
    const QImage logo(QDir(varer).filePath(QStringLiteral("vare-1.png")));
    EXPECT_EQ(logo.size(), QSize(200, 100));   // drawn fitted to the thumbnail
    EXPECT_TRUE(near(logo.pixelColor(100, 50), Qt::red));
    const QImage skilt(QDir(varer).filePath(QStringLiteral("vare-2.png")));
    EXPECT_EQ(skilt.size(), QSize(100, 50));
    EXPECT_TRUE(near(skilt.pixelColor(50, 25), Qt::blue));
    const QString pdf = result.files[0].endsWith(QLatin1String(".pdf")) ? result.files[0] : result.files[1];
    EXPECT_GE(imagesInPdf(pdf), 2);   // each picture, and the alpha masks beside them
}

TEST_F(ExportPictures, OnlyFilesInsideTheDocumentFolderAndOnlyByTheirExtension)
{
    // Outside the document folder: reached by "../", by a link, and by a folder's link.
    const QString outside = sandbox.root() + QStringLiteral("/hemmelig/");
    QDir().mkpath(outside);
    writeBytes(outside + QStringLiteral("kort.jpg"), jpegBytes(quadrants({80, 60}), JpegKind::Baseline));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("kort.jpg"), docs + QStringLiteral("lenke.jpg")));
    ASSERT_TRUE(QFile::link(outside, docs + QStringLiteral("mappe")));
    // Inside, but not what the name says: an SVG that would draw another file.
    writeBytes(docs + QStringLiteral("uskyldig.jpg"),
               "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='50' height='50'>"
               "<image width='50' height='50' xlink:href='" + QFile::encodeName(outside) + "kort.jpg'/></svg>");
    writeBytes(docs + QStringLiteral("bilde.svg"), Sandbox::readFile(docs + QStringLiteral("uskyldig.jpg")));
    // And one that may be shown, inside through a link that stays inside.
    writeBytes(docs + QStringLiteral("rose.jpg"), jpegBytes(quadrants({80, 60}), JpegKind::Baseline));
    ASSERT_TRUE(QFile::link(docs + QStringLiteral("rose.jpg"), docs + QStringLiteral("rose-lenke.jpg")));

    for (const char* reference : {"../hemmelig/kort.jpg", "lenke.jpg", "mappe/kort.jpg", "uskyldig.jpg", "bilde.svg",
                                  "http://butikken.example/blomster/rose-lenke.jpg"})
        add(QString::fromLatin1(reference), 1, 0, 0, {}, QString::fromLatin1(reference));
    const ExportResult result = exportOnly(true, false, true, ProductSelection::All, true);
    EXPECT_EQ(result.picturesLeftOut, 5);
    EXPECT_EQ(entries(folder("export\\html\\varer")), QStringList{QStringLiteral("vare-6.jpg")});
}

} // namespace
