// The web page parsed back by an XML reader: the texts come back exactly (so they were
// escaped), nothing links outside the page but its own thumbnails, and those are
// relative links to files of at most 200 pixels.
#include "pricelist/export/htmlexport.h"
#include "tests/export/exportfixture.h"
#include "tests/support/qstringprint.h"

#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

namespace {

struct ParsedPage {
    QString title;
    QStringList texts;        // span.tekst, in order
    QStringList descriptions; // span.beskrivelse
    QStringList imageLinks;
    QStringList elements;     // every element name met
    QStringList linkAttributes; // every href/src
    int saleRows = 0;
};

ParsedPage parsePage(const QString& html)
{
    ParsedPage page;
    QXmlStreamReader xml(html);
    QString reading;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            page.elements << xml.name().toString();
            const auto attributes = xml.attributes();
            for (const char* a : {"href", "src"})
                if (attributes.hasAttribute(QLatin1String(a)))
                    page.linkAttributes << attributes.value(QLatin1String(a)).toString();
            if (xml.name() == QLatin1String("img"))
                page.imageLinks << attributes.value(QLatin1String("src")).toString();
            if (xml.name() == QLatin1String("tr") && attributes.value(QLatin1String("class")) == QLatin1String("salg"))
                ++page.saleRows;
            if (xml.name() == QLatin1String("span")) {
                const QString cls = attributes.value(QLatin1String("class")).toString();
                if (cls == QLatin1String("tekst"))
                    page.texts << xml.readElementText();
                else if (cls == QLatin1String("beskrivelse"))
                    page.descriptions << xml.readElementText();
            } else if (xml.name() == QLatin1String("title")) {
                page.title = xml.readElementText();
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return page;
}

class HtmlExport : public ExportFixture {};

TEST_F(HtmlExport, TextsComeBackEscapedAndThePageIsSelfContained)
{
    for (int i = 0; i < hostileTexts.size(); ++i)
        add(hostileTexts[i], 10 + i, i == 3 ? 1 : 0, 0, QStringLiteral("Om ") + hostileTexts[i]);
    const ExportResult result = exportOnly(false, false, true);
    ASSERT_EQ(result.files.size(), 1);
    EXPECT_TRUE(result.files[0].endsWith(QLatin1String("/export/html/prisliste-2026-12-10.html")))
        << result.files[0].toStdString();
    const QString html = readText(result.files[0]);
    const ParsedPage page = parsePage(html);

    EXPECT_EQ(page.title, QStringLiteral("Prisliste – Brisvald Blomster Søm & Shop"));
    ASSERT_EQ(page.texts.size(), hostileTexts.size());
    // "\r\n" and a lone "\r" reach an XML reader as "\n"; everything else exactly.
    for (int i = 0; i < hostileTexts.size(); ++i) {
        QString expected = hostileTexts[i];
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        EXPECT_EQ(page.texts[i], expected) << i;
    }
    EXPECT_EQ(page.saleRows, 1);
    EXPECT_FALSE(page.elements.contains(QStringLiteral("script")));
    EXPECT_FALSE(page.elements.contains(QStringLiteral("b")));
    EXPECT_TRUE(page.elements.contains(QStringLiteral("style")));
    EXPECT_TRUE(page.linkAttributes.isEmpty()) << page.linkAttributes.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"viewport\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("kr 22,50")));   // 18 * 1.25, in the regional format
}

TEST_F(HtmlExport, ControlCharactersAreLeftOut)
{
    for (const ControlText& c : controlTexts)
        add(c.raw, 1, 0, 0, QStringLiteral("Om ") + c.raw);
    const ExportResult result = exportOnly(false, false, true);
    ASSERT_EQ(result.files.size(), 1);
    const ParsedPage page = parsePage(readText(result.files[0])); // an XML reader refuses them
    ASSERT_EQ(page.texts.size(), qsizetype(controlTexts.size()));
    ASSERT_EQ(page.descriptions.size(), qsizetype(controlTexts.size()));
    for (size_t i = 0; i < controlTexts.size(); ++i) {
        EXPECT_EQ(page.texts[qsizetype(i)], controlTexts[i].clean) << i;
        EXPECT_EQ(page.descriptions[qsizetype(i)], QStringLiteral("Om ") + controlTexts[i].clean) << i;
    }
}

TEST_F(HtmlExport, ThumbnailsAreWrittenBesideThePageAndLinkedRelatively)
{
    const QString pictures = writePicture(QStringLiteral("bilder"), QStringLiteral("stor.jpg"), QSize(640, 320), Qt::red);
    writePicture(QStringLiteral("bilder"), QStringLiteral("liten.png"), QSize(40, 30), Qt::blue);
    Sandbox::writeFile(pictures + QStringLiteral("søppel.jpg"), QByteArray(5000, 'x'));
    writeinistring(QStringLiteral("DOC_LOCAL"), pictures);

    add(QStringLiteral("Stor"), 1, 0, 0, {}, QStringLiteral("stor.jpg"));
    add(QStringLiteral("Liten"), 2, 0, 0, {}, QStringLiteral("http://butikken.example/blomster/liten.png"));
    add(QStringLiteral("Søppel"), 3, 0, 0, {}, QStringLiteral("søppel.jpg"));
    add(QStringLiteral("Borte"), 4, 0, 0, {}, QStringLiteral("finnes-ikke.jpg"));
    add(QStringLiteral("Uten"), 5);
    const ExportResult result = exportOnly(false, false, true, ProductSelection::All, true);
    EXPECT_EQ(result.picturesLeftOut, 2);

    const ParsedPage page = parsePage(readText(result.files[0]));
    EXPECT_EQ(page.imageLinks, (QStringList{QStringLiteral("varer/vare-1.jpg"), QStringLiteral("varer/vare-2.jpg")}));
    const QDir pageFolder(folder("export\\html"));
    for (const QString& link : page.imageLinks) {
        QImageReader reader(pageFolder.filePath(link));
        const QSize size = reader.size();
        ASSERT_TRUE(size.isValid()) << link.toStdString();
        EXPECT_LE(std::max(size.width(), size.height()), 200) << link.toStdString();
    }
    EXPECT_EQ(QImageReader(pageFolder.filePath(page.imageLinks[0])).size(), QSize(200, 100));
    EXPECT_EQ(QImageReader(pageFolder.filePath(page.imageLinks[1])).size(), QSize(40, 30));   // never enlarged
    // Nothing else in the folders: no temporary files, no thumbnails of the bad pictures.
    EXPECT_EQ(entries(folder("export\\html\\varer")),
              (QStringList{QStringLiteral("vare-1.jpg"), QStringLiteral("vare-2.jpg")}));
}

TEST(HtmlEscaped, EscapesMarkupAndBothQuotes)
{
    EXPECT_EQ(htmlEscaped(QStringLiteral("<a href=\"x\">'&'</a>")),
              QStringLiteral("&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;"));
}

}
