// The PDF's text as poppler extracts it (pdftotext, pdfinfo): the title, the first and
// the last product, prices in the regional format, "Side N av M" on every page.
#include "tests/export/exportfixture.h"
#include "tests/support/qstringprint.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

class PdfExport : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            FAIL() << "pdftotext (poppler-utils) is missing: scripts/install-deps installs it";
    }
    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int pageCount(const QString& pdf)
    {
        const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                               .match(run(QStringLiteral("pdfinfo"), {pdf}));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    // The text of each page.
    static QStringList pages(const QString& pdf)
    {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    }
};

TEST_F(PdfExport, ManyProductsBreakAcrossNumberedPages)
{
    const int count = 150;
    for (int i = 0; i < count; ++i)
        add(QStringLiteral("Vare %1 æøå").arg(i, 3, 10, QLatin1Char('0')), 100 + i, i == 149 ? 1 : 0);
    const ExportResult result = exportOnly(true, false, false);
    ASSERT_EQ(result.files.size(), 1);
    EXPECT_TRUE(result.files[0].endsWith(QLatin1String("/export/pdf/prisliste-2026-12-10.pdf")));

    const int n = pageCount(result.files[0]);
    ASSERT_GT(n, 2);
    const QStringList text = pages(result.files[0]);
    ASSERT_EQ(text.size(), n);
    for (int p = 0; p < n; ++p) {
        EXPECT_TRUE(text[p].contains(QStringLiteral("Side %1 av %2").arg(p + 1).arg(n))) << p;
        EXPECT_TRUE(text[p].contains(QStringLiteral("Brisvald Blomster Søm & Shop"))) << p;
        EXPECT_TRUE(text[p].contains(QStringLiteral("Prisliste 10.12.2026"))) << p;
    }
    EXPECT_TRUE(text.front().contains(QStringLiteral("Vare 000 æøå")));
    EXPECT_TRUE(text.front().contains(QStringLiteral("kr 125,00")));
    EXPECT_TRUE(text.back().contains(QStringLiteral("Vare 149 æøå")));
    EXPECT_TRUE(text.back().contains(QStringLiteral("kr 311,25")));
    EXPECT_TRUE(text.back().contains(QStringLiteral("På salg")));
    // Every product once, none lost or doubled at a page break.
    const QString all = text.join(QLatin1Char('\n'));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(all.count(QStringLiteral("Vare %1 ").arg(i, 3, 10, QLatin1Char('0'))), 1) << i;
}

TEST_F(PdfExport, AnEmptySelectionStillGivesOnePage)
{
    add(QStringLiteral("Roser"), 100, 0, 0);
    const ExportResult result = exportOnly(true, false, false, ProductSelection::OnSale);
    EXPECT_EQ(pageCount(result.files[0]), 1);
    const QStringList text = pages(result.files[0]);
    ASSERT_EQ(text.size(), 1);
    EXPECT_TRUE(text[0].contains(QStringLiteral("Side 1 av 1")));
    EXPECT_FALSE(text[0].contains(QStringLiteral("Roser")));
}

TEST_F(PdfExport, ALongTextIsCutWithAnEllipsisBeforeThePrice)
{
    add(QString(128, QLatin1Char('W')), 8, 1);
    add(QStringLiteral("Kort"), 9);
    const QStringList text = pages(exportOnly(true, false, false).files[0]);
    ASSERT_EQ(text.size(), 1);
    const QStringList lines = text[0].split(QLatin1Char('\n'));
    const auto longLine = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains(QLatin1String("WWW")); });
    ASSERT_NE(longLine, lines.end());
    EXPECT_TRUE(longLine->contains(QStringLiteral("W… "))) << longLine->toStdString();
    EXPECT_LT(longLine->count(QLatin1Char('W')), 128);
    EXPECT_TRUE(longLine->contains(QStringLiteral("På salg")));
    EXPECT_TRUE(longLine->trimmed().endsWith(QStringLiteral("kr 10,00"))) << longLine->toStdString();
}

TEST_F(PdfExport, HostileTextsArePrintedAsTextOnOneLine)
{
    for (const QString& text : hostileTexts)
        add(text, 10);
    const QString all = pages(exportOnly(true, false, false).files[0]).join(QLatin1Char('\n'));
    for (const QString& text : hostileTexts) {
        // Line breaks and tabs become blanks: each product keeps one row.
        const QString shown = text.simplified();
        EXPECT_TRUE(all.contains(shown)) << shown.toStdString();
    }
}

}
