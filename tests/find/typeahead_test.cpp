// Type-ahead in the list grid: typed characters find a product by the start of its text.
#include "db/datasource.h"
#include "dbcontrols/dbgrid.h"
#include "find/textmatcher.h"
#include "find/textsearch.h"
#include "tests/db/productset.h"
#include "tests/support/qstringprint.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList products{"Anemoner", "Bånd",     "Roser",    "Roser, hvite", "Sytråd",
                           "Sytråd, svart", "Søm-sett", "Ørepynt", "symaskinolje", "Éclair-bånd"};

class TypeAheadGrid : public ::testing::Test {
protected:
    ProductSet table;
    DataSource source;
    DBGrid grid;
    qint64 now = 100000;

    void SetUp() override
    {
        table.open();
        for (const QString& text : products)
            table.add(text, 10.0, 0);
        source.setDataSet(&table);
        grid.setColumns({{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300}});
        grid.setDataSource(&source);
        grid.typeAhead().clock = [this] { return now; };
    }

    // Each character is typed; "|" waits a second, "<" is Backspace, "^" is Home.
    void type(const QString& keys)
    {
        for (QChar c : keys) {
            now += 10;
            if (c == u'|')
                now += TypeAhead::pauseMs;
            else if (c == u'<')
                QTest::keyClick(&grid, Qt::Key_Backspace);
            else if (c == u'^')
                QTest::keyClick(&grid, Qt::Key_Home);
            else
                QTest::sendKeyEvent(QTest::Click, &grid, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
};

TEST_F(TypeAheadGrid, TypedKeysPausesAndTheCurrentRowDecideTheRowReached)
{
    struct Case {
        const char* keys;
        int from;
        int expected;
    };
    const Case cases[] = {
        {"sy", 0, 4},           // the first product beginning with "Sy"
        {"SY", 0, 4},           // case ignored
        {"sy", 5, 5},           // the current one counts
        {"sy", 6, 8},           // from the current one on: "symaskinolje"
        {"a", 5, 0},            // wraps around past the last row
        {"ø", 0, 7},            // Norwegian letters fold: ø finds Ø
        {"SØ", 0, 6},
        {"é", 0, 9},
        {"bå", 0, 1},
        {"roser,", 0, 3},       // punctuation and space belong to the text
        {"roser, h", 0, 3},
        {"r|s", 0, 4},          // after a pause "s" starts a new search
        {"rs", 0, 2},           // without one, "rs" finds nothing: no move
        {"rox<ser,", 0, 3},     // Backspace drops the "x" that matched nothing
        {"s<<<r", 0, 2},        // Backspace past the start does nothing
        {"s<", 6, 6},           // an emptied text stays where it is
        {"r^r", 5, 2},          // Home forgets the text: the second "r" starts anew
        {"xyz", 3, 3},          // nothing found: no move
        {"ω", 2, 2},            // a character the stored text cannot hold finds nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " from row " + std::to_string(c.from));
        grid.typeAhead().reset();
        now += 5000;
        table.moveTo(c.from);
        type(QString::fromUtf8(c.keys));
        EXPECT_EQ(table.currentRow(), c.expected);
        EXPECT_EQ(grid.currentIndex().row(), c.expected);
    }
}

TEST_F(TypeAheadGrid, APauseJustUnderASecondContinuesTheText)
{
    table.moveTo(0);
    type(QStringLiteral("r"));
    now += TypeAhead::pauseMs - 20; // type() adds 10 more
    type(QStringLiteral("o"));
    EXPECT_EQ(grid.typeAhead().text(), QStringLiteral("ro"));
    now += TypeAhead::pauseMs;
    type(QStringLiteral("s"));
    EXPECT_EQ(grid.typeAhead().text(), QStringLiteral("s"));
    EXPECT_EQ(table.currentRow(), 4);
}

TEST_F(TypeAheadGrid, TheMoveIsAnOrdinaryMoveOfTheTable)
{
    // A modified edit is posted.
    table.moveTo(1);
    table.edit();
    table.price->setAsFloat(99);
    type(QStringLiteral("sy"));
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(table.currentRow(), 4);
    EXPECT_DOUBLE_EQ(table.price->valueAt(1).toDouble(), 99);

    // An unmodified new record is dropped; the rows after it move up.
    table.moveTo(2);
    table.insert();
    ASSERT_EQ(table.recordCount(), 11);
    type(QStringLiteral("|ø"));
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(table.recordCount(), 10);
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Ørepynt"));

    // The new record's text as typed so far counts for the record being inserted.
    table.insert();
    table.producttext->setAsString(QStringLiteral("Amaryllis"));
    type(QStringLiteral("|am"));
    EXPECT_EQ(table.state(), DataSetState::Insert);
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Amaryllis"));
}

TEST_F(TypeAheadGrid, KeysTheGridUsesKeepTheirMeaning)
{
    table.moveTo(3);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(table.currentRow(), 2);
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(table.currentRow(), 9);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier); // not typed text
    EXPECT_EQ(table.currentRow(), 9);
    EXPECT_TRUE(grid.typeAhead().text().isEmpty());
    table.edit();
    table.price->setAsFloat(1);
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_DOUBLE_EQ(table.price->valueAt(9).toDouble(), 10);
}

TEST(TypeAheadEmpty, TypingInAnEmptyListDoesNothing)
{
    ProductSet table;
    table.open();
    DataSource source;
    source.setDataSet(&table);
    DBGrid grid;
    grid.setColumns({{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300}});
    grid.setDataSource(&source);
    QTest::keyClicks(&grid, QStringLiteral("ro"));
    EXPECT_EQ(table.currentRow(), -1);
    EXPECT_EQ(table.state(), DataSetState::Browse);
}

TEST(TextMatcher, FoldsTheLettersOfWindows1252)
{
    struct Case {
        const char* typed;
        const char* text;
        bool prefix;
        bool inside;
    };
    const Case cases[] = {
        {"ø", "Ørepynt", true, true},     {"ØRE", "ørepynt", true, true}, {"æ", "Blåbær", false, true},
        {"š", "Šal", true, true},         {"œ", "Œuvre", true, true},     {"ÿ", "Ÿ", true, true},
        {"rose", "Roser", true, true},    {"ose", "Roser", false, true},  {"roser!", "Roser", false, false},
        {"", "Roser", true, true},        {"ω", "ω", false, false},       {"ss", "ß", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in " + c.text);
        const TextMatcher m(QString::fromUtf8(c.typed));
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(m.isPrefixOf(text), c.prefix);
        EXPECT_EQ(m.isIn(text), c.inside);
    }
}

}

namespace {

TEST(TextSearch, SearchesAroundTheRecordBeingInsertedWithItsPendingText)
{
    ProductSet table;
    table.open();
    for (const QString& text : products)
        table.add(text, 10.0, 0);
    table.moveTo(2);
    table.insert();
    table.producttext->setAsString(QStringLiteral("Nyrose"));
    const std::vector<const Field*> fields{table.producttext, table.objectText};
    EXPECT_EQ(textsearch::findWords(table, fields, QStringLiteral("rose")), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(textsearch::findWords(table, fields, QStringLiteral("ROSER hvite")), (std::vector<int>{4}));
    EXPECT_EQ(textsearch::findWords(table, fields, QStringLiteral(" ")), (std::vector<int>{}));
    EXPECT_EQ(textsearch::findPrefix(table, *table.producttext, QStringLiteral("roser"), 0), 3);
    EXPECT_EQ(textsearch::findPrefix(table, *table.producttext, QStringLiteral("nyr"), 5), 2);
    EXPECT_EQ(textsearch::findPrefix(table, *table.producttext, QStringLiteral("éc"), 0), 10);
    EXPECT_EQ(textsearch::findPrefix(table, *table.producttext, QStringLiteral("an"), 3), 0);
}

}
