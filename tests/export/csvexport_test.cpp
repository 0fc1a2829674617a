// The CSV file read back by an RFC 4180 reader: every cell equals the table's value,
// formula starters are neutralised, the separator follows the decimal separator.
#include "common/regional.h"
#include "pricelist/export/csvexport.h"
#include "tests/export/csvreader.h"
#include "tests/export/exportfixture.h"
#include "tests/support/qstringprint.h"

namespace {

class CsvExport : public ExportFixture {};

QString neutralised(const QString& text)
{
    static const QString starters = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starters.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

TEST_F(CsvExport, HostileTextsReadBackAsTheTableHoldsThem)
{
    for (int i = 0; i < hostileTexts.size(); ++i)
        add(hostileTexts[i], 9.99 + i, i % 2, i % 3 == 0 ? 1 : 0, hostileTexts[hostileTexts.size() - 1 - i],
            QStringLiteral("bilder/%1;\"%2\".jpg").arg(i).arg(i));
    add(QString(), QVariant(), 0, 0);   // null text and price
    const ExportResult result = exportOnly(false, true, false);
    ASSERT_EQ(result.files.size(), 1);
    EXPECT_EQ(result.files[0], QDir(folder("export\\csv")).filePath(QStringLiteral("prisliste-2026-12-10.csv")));

    QFile file(result.files[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    const auto records = readCsv(QString::fromUtf8(bytes.mid(3)), QLatin1Char(';'));
    ASSERT_EQ(records.size(), size_t(table.recordCount() + 1));
    EXPECT_EQ(records[0], (QStringList{QStringLiteral("Tekst"), QStringLiteral("Beskrivelse"), QStringLiteral("Pris"),
                                      QStringLiteral("Utpris"), QStringLiteral("På salg"),
                                      QStringLiteral("I nettbutikken"), QStringLiteral("Bilde")}));
    for (int row = 0; row < table.recordCount(); ++row) {
        table.moveTo(row);
        const QStringList& cells = records[size_t(row) + 1];
        ASSERT_EQ(cells.size(), 7) << row;
        EXPECT_EQ(cells[0], neutralised(table.producttext->asString())) << row;
        EXPECT_EQ(cells[1], neutralised(table.objectText->asString())) << row;
        double price = -1;
        EXPECT_TRUE(parseRegionalFloat(cells[2], price)) << cells[2].toStdString();
        EXPECT_DOUBLE_EQ(price, table.price->asFloat()) << row;
        EXPECT_EQ(cells[3], QString::number(table.utpris->asFloat(), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')))
            << row;
        EXPECT_EQ(cells[4], table.sale->asInteger() == 1 ? QStringLiteral("Ja") : QStringLiteral("Nei")) << row;
        EXPECT_EQ(cells[5], table.web->asInteger() == 1 ? QStringLiteral("Ja") : QStringLiteral("Nei")) << row;
        EXPECT_EQ(cells[6], table.picture->asString()) << row;
    }
    // The text outside Latin-1 arrives as UTF-8, not as "?".
    EXPECT_EQ(records[5][0], QStringLiteral("Œuvre €5 – “spesial” ‰"));
    EXPECT_EQ(records[1][0], QStringLiteral("Roser \"røde\""));
}

TEST_F(CsvExport, ControlCharactersAreLeftOut)
{
    for (const ControlText& c : controlTexts)
        add(c.raw, 1, 0, 0, c.raw, c.raw);
    const ExportResult result = exportOnly(false, true, false);
    ASSERT_EQ(result.files.size(), 1);
    const auto records = readCsv(QString::fromUtf8(Sandbox::readFile(result.files[0]).mid(3)), QLatin1Char(';'));
    ASSERT_EQ(records.size(), controlTexts.size() + 1);
    for (size_t i = 0; i < controlTexts.size(); ++i) {
        const QStringList& cells = records[i + 1];
        ASSERT_EQ(cells.size(), 7) << i;
        const QString& clean = controlTexts[i].clean;
        EXPECT_EQ(cells[0], neutralised(clean)) << i;
        EXPECT_EQ(cells[1], neutralised(clean)) << i;
        EXPECT_EQ(cells[6], neutralised(clean)) << i;
    }
}

TEST_F(CsvExport, SeparatorAndNumbersFollowTheRegionalSettings)
{
    struct Case {
        QChar decimal;
        QChar separator;
        const char* price;
        const char* outPrice;
    };
    const Case cases[] = {{QLatin1Char(','), QLatin1Char(';'), "1234,5", "1543,13"},
                          {QLatin1Char('.'), QLatin1Char(','), "1234.5", "1543.13"}};
    add(QStringLiteral("Vase"), 1234.5);
    for (const Case& c : cases) {
        RegionalSettings r = RegionalSettings::norwegian();
        r.decimalSeparator = c.decimal;
        setRegional(r);
        const ExportResult result = exportOnly(false, true, false);
        setRegional(RegionalSettings::norwegian());
        const auto records = readCsv(QString::fromUtf8(Sandbox::readFile(result.files[0]).mid(3)), c.separator);
        ASSERT_EQ(records.size(), 2u);
        ASSERT_EQ(records[1].size(), 7);
        EXPECT_EQ(records[1][2], QLatin1String(c.price));
        EXPECT_EQ(records[1][3], QLatin1String(c.outPrice));
    }
}

TEST(CsvCell, NeutralisesTextCellsOnlyAndQuotesWhatNeedsIt)
{
    const QChar sep = QLatin1Char(';');
    struct Case {
        QString value;
        bool text;
        QString cell;
    };
    const Case cases[] = {
        {QStringLiteral("Roser"), true, QStringLiteral("Roser")},
        {QStringLiteral("=1+1"), true, QStringLiteral("'=1+1")},
        {QStringLiteral("-5"), false, QStringLiteral("-5")},   // a number stays a number
        {QStringLiteral("-5"), true, QStringLiteral("'-5")},
        {QStringLiteral("a;b"), true, QStringLiteral("\"a;b\"")},
        {QStringLiteral("a,b"), true, QStringLiteral("a,b")},
        {QStringLiteral("si \"hei\""), true, QStringLiteral("\"si \"\"hei\"\"\"")},
        {QStringLiteral("\rx"), true, QStringLiteral("\"'\rx\"")},
        {QString(), true, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvCell(c.value, sep, c.text), c.cell) << c.value.toStdString();
}

TEST_F(CsvExport, SelectionTakesTheWebShopOrTheSaleProductsInListOrder)
{
    add(QStringLiteral("A"), 1, 1, 0);
    add(QStringLiteral("B"), 2, 0, 1);
    add(QStringLiteral("C"), 3, 1, 1);
    add(QStringLiteral("D"), 4, 2, 2);   // flags other than 1 do not count
    const struct {
        ProductSelection selection;
        QStringList texts;
    } cases[] = {{ProductSelection::All, {"A", "B", "C", "D"}},
                 {ProductSelection::WebShop, {"B", "C"}},
                 {ProductSelection::OnSale, {"A", "C"}}};
    for (const auto& c : cases) {
        const ExportResult result = exportOnly(false, true, false, c.selection);
        const auto records = readCsv(QString::fromUtf8(Sandbox::readFile(result.files[0]).mid(3)), QLatin1Char(';'));
        QStringList texts;
        for (size_t i = 1; i < records.size(); ++i)
            texts << records[i][0];
        EXPECT_EQ(texts, c.texts) << int(c.selection);
    }
}

}
