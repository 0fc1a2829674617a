// The list grid: the model over the data set, the grid's look, its keys and clicks, and
// the per-cell drawing hook.
#include "common/errors.h"
#include "common/messages.h"
#include "db/datasource.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbgrid.h"
#include "dbcontrols/dbgridmodel.h"
#include "tests/db/productset.h"
#include "tests/support/pixels.h"
#include "tests/support/qstringprint.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <set>
#include <gtest/gtest.h>

namespace {

std::vector<GridColumn> productColumns()
{
    return {{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300},
            {QStringLiteral("utpris"), QStringLiteral("Pris"), Qt::AlignRight, Qt::AlignRight, 0}};
}

TEST(DBGridModel, PassesTheModelTesterThroughEveryOperation)
{
    ProductSet table;
    DataSource source;
    DBGridModel model;
    source.setDataSet(&table);
    model.setColumns(productColumns());
    model.setDataSource(&source);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    table.fill(5);
    EXPECT_EQ(model.rowCount(), 5);
    table.moveTo(2);
    table.insert();
    EXPECT_EQ(model.rowCount(), 6);
    table.producttext->setAsString(QStringLiteral("Ny vare"));
    EXPECT_EQ(model.index(2, 0).data().toString(), QStringLiteral("Ny vare"));
    table.post();
    table.insert();
    table.cancel();
    table.edit();
    table.price->setAsFloat(100);
    table.next();
    table.deleteRecord();
    table.last();
    table.deleteRecord();
    EXPECT_EQ(model.rowCount(), 4);
    table.close();
    EXPECT_EQ(model.rowCount(), 0);
    table.open();
    source.setDataSet(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(DBGridModel, ReadsCellsFromTheDataSetAndNeverEdits)
{
    ProductSet table;
    table.fill(3);
    DataSource source;
    DBGridModel model;
    source.setDataSet(&table);
    model.setColumns(productColumns());
    model.setDataSource(&source);

    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("Vare 1"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("kr 25,00"));
    EXPECT_EQ(Qt::Alignment(model.index(1, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Tekst"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Pris"));
    EXPECT_EQ(Qt::Alignment(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("x")));

    // A field set in the data set shows at once, without any copy to refresh.
    table.moveTo(2);
    table.edit();
    table.price->setAsFloat(9.99);
    EXPECT_EQ(model.index(2, 1).data().toString(), QStringLiteral("kr 12,49"));
}

// A grid of 12 rows of which about 8 are in view, shown and active.
struct Grid : ::testing::Test {
    ProductSet table;
    DataSource source;
    DBGrid grid;
    std::vector<MessageRequest> asked;
    MessageAnswer answer = MessageAnswer::Ok;

    void SetUp() override
    {
        table.fill(12);
        source.setDataSet(&table);
        grid.setColumns(productColumns());
        grid.setDataSource(&source);
        grid.resize(409, 8 * grid.verticalHeader()->defaultSectionSize() + 2 * grid.frameWidth() + 5);
        setMessageHandler([this](const MessageRequest& r) {
            asked.push_back(r);
            return answer;
        });
        grid.show();
        QApplication::setActiveWindow(&grid);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }
    void TearDown() override { setMessageHandler({}); }

    int selectedRow() const
    {
        const auto rows = grid.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }
};

TEST_F(Grid, LooksLikeAListOfWholeRows)
{
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(grid.showGrid());   // the delegate draws the horizontal lines
    EXPECT_FALSE(grid.horizontalHeader()->isVisible());
    EXPECT_FALSE(grid.verticalHeader()->isVisible());
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(grid.columnWidth(0), 300);
    EXPECT_GT(grid.columnWidth(1), 40);
    EXPECT_EQ(grid.visibleRowCount(), 8);
    EXPECT_EQ(selectedRow(), 0);
    // The selection stays visible without the focus.
    EXPECT_EQ(grid.palette().color(QPalette::Inactive, QPalette::Highlight),
              grid.palette().color(QPalette::Active, QPalette::Highlight));
}

struct KeyCase {
    const char* name;
    int startRow;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int expectedRow;
};

class GridKeys : public Grid, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GridKeys, MoveTheCurrentRecord)
{
    const KeyCase& c = GetParam();
    table.moveTo(c.startRow);
    QTest::keyClick(&grid, c.key, c.mods);
    EXPECT_EQ(table.currentRow(), c.expectedRow);
    EXPECT_EQ(selectedRow(), c.expectedRow);
    EXPECT_EQ(table.recordCount(), 12);
    EXPECT_EQ(table.state(), DataSetState::Browse);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeys,
    ::testing::Values(KeyCase{"Down", 3, Qt::Key_Down, Qt::NoModifier, 4},
                      KeyCase{"RightActsAsDown", 3, Qt::Key_Right, Qt::NoModifier, 4},
                      KeyCase{"Up", 3, Qt::Key_Up, Qt::NoModifier, 2},
                      KeyCase{"LeftActsAsUp", 3, Qt::Key_Left, Qt::NoModifier, 2},
                      KeyCase{"UpOnFirst", 0, Qt::Key_Up, Qt::NoModifier, 0},
                      KeyCase{"DownOnLastAppendsNothing", 11, Qt::Key_Down, Qt::NoModifier, 11},
                      KeyCase{"PageDown", 1, Qt::Key_PageDown, Qt::NoModifier, 9},
                      KeyCase{"PageDownStopsAtLast", 6, Qt::Key_PageDown, Qt::NoModifier, 11},
                      KeyCase{"PageUp", 10, Qt::Key_PageUp, Qt::NoModifier, 2},
                      KeyCase{"PageUpStopsAtFirst", 5, Qt::Key_PageUp, Qt::NoModifier, 0},
                      KeyCase{"Home", 7, Qt::Key_Home, Qt::NoModifier, 0},
                      KeyCase{"End", 2, Qt::Key_End, Qt::NoModifier, 11},
                      KeyCase{"CtrlHome", 7, Qt::Key_Home, Qt::ControlModifier, 0},
                      KeyCase{"CtrlEnd", 2, Qt::Key_End, Qt::ControlModifier, 11},
                      KeyCase{"CtrlPageDownLastInView", 2, Qt::Key_PageDown, Qt::ControlModifier, 7},
                      KeyCase{"CtrlPageUpFirstInView", 5, Qt::Key_PageUp, Qt::ControlModifier, 0},
                      KeyCase{"InsertDoesNothing", 4, Qt::Key_Insert, Qt::NoModifier, 4},
                      KeyCase{"F2DoesNothing", 4, Qt::Key_F2, Qt::NoModifier, 4},
                      KeyCase{"LetterDoesNotSearch", 4, Qt::Key_V, Qt::NoModifier, 4}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(Grid, CtrlPageKeysUseTheRowsInViewAfterScrolling)
{
    table.last();   // the view scrolls so that row 11 is the bottom row
    QTest::keyClick(&grid, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(table.currentRow(), 4);
    QTest::keyClick(&grid, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(table.currentRow(), 11);
}

TEST_F(Grid, ShowsTheCurrentRecordAgainWhenTheTableChangesAfterScrollingAway)
{
    QScrollBar* bar = grid.verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(grid.topRow(), 0);
    table.edit();
    EXPECT_EQ(grid.topRow(), 0);

    table.price->setAsFloat(5);
    bar->setValue(bar->maximum());
    table.post();
    EXPECT_EQ(grid.topRow(), 0);

    // A record in view does not scroll the list.
    bar->setValue(2);
    table.moveTo(4);
    table.edit();
    table.post();
    EXPECT_EQ(grid.topRow(), 2);
    EXPECT_EQ(selectedRow(), 4);
}

struct NewRecordCase {
    const char* name;
    int records;          // in the table before Insert (at row 2 when there are enough)
    bool modified;
    Qt::Key key;
    int expectedCount;
    int expectedRow;
    const char* expectedText;
};

class GridNewRecord : public Grid, public ::testing::WithParamInterface<NewRecordCase> {};

TEST_P(GridNewRecord, FollowsTheUnmodifiedNewRecordRules)
{
    const NewRecordCase& c = GetParam();
    while (table.recordCount() > c.records) {
        table.last();
        table.deleteRecord();
    }
    if (c.records > 2)
        table.moveTo(2);
    table.insert();
    if (c.modified)
        table.producttext->setAsString(QStringLiteral("Ny"));
    QTest::keyClick(&grid, c.key);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(table.recordCount(), c.expectedCount);
    EXPECT_EQ(table.currentRow(), c.expectedRow);
    if (c.expectedRow >= 0)
        EXPECT_EQ(table.producttext->asString(), QString::fromUtf8(c.expectedText));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GridNewRecord,
    ::testing::Values(
        // Not the last record: Down cancels it and the old record is current again.
        NewRecordCase{"DownCancelsInTheMiddle", 12, false, Qt::Key_Down, 12, 2, "Vare 2"},
        // Not the last record: Up moves, which cancels the unmodified record first.
        NewRecordCase{"UpMovesFromTheMiddle", 12, false, Qt::Key_Up, 12, 1, "Vare 1"},
        // The only (last) record: Up cancels it.
        NewRecordCase{"UpCancelsTheLast", 0, false, Qt::Key_Up, 0, -1, ""},
        NewRecordCase{"DownOnTheLastAppendsNothing", 0, false, Qt::Key_Down, 0, -1, ""},
        // Modified: the record is posted, then the move happens.
        NewRecordCase{"ModifiedDownPostsAndMoves", 12, true, Qt::Key_Down, 13, 3, "Vare 2"},
        NewRecordCase{"ModifiedUpPostsAndMoves", 12, true, Qt::Key_Up, 13, 1, "Vare 1"},
        NewRecordCase{"EscDiscardsModified", 12, true, Qt::Key_Escape, 12, 2, "Vare 2"}),
    [](const ::testing::TestParamInfo<NewRecordCase>& info) { return std::string(info.param.name); });

TEST_F(Grid, EscDiscardsTheNewRecordWhateverABoundBoxHolds)
{
    DBEdit text;
    text.setDataSource(&source);
    text.setDataField(QStringLiteral("producttext"));
    table.insert();
    text.setText(QStringLiteral("Halvferdig"));
    emit text.textEdited(text.text());
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(table.recordCount(), 12);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(text.text(), QStringLiteral("Vare 0"));
    QTest::keyClick(&grid, Qt::Key_Escape);   // browse: nothing
    EXPECT_EQ(table.currentRow(), 0);
}

TEST_F(Grid, DownKeepsANewRecordThatHasPendingInput)
{
    DBEdit text;
    text.setDataSource(&source);
    text.setDataField(QStringLiteral("producttext"));
    table.moveTo(2);
    table.insert();
    text.setText(QStringLiteral("Liljer"));
    emit text.textEdited(text.text());
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(table.recordCount(), 13);
    table.moveTo(2);
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Liljer"));
}

TEST_F(Grid, CtrlDeleteAsksBeforeDeleting)
{
    table.moveTo(4);
    answer = MessageAnswer::Cancel;
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, QStringLiteral("Delete record?"));
    EXPECT_EQ(asked[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(table.recordCount(), 12);

    answer = MessageAnswer::Ok;
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 11);
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Vare 5"));
    EXPECT_EQ(selectedRow(), 4);

    QTest::keyClick(&grid, Qt::Key_Delete);   // without Ctrl: nothing
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(table.recordCount(), 11);
}

TEST_F(Grid, CtrlDeleteRefusedByTheTableKeepsTheRecord)
{
    int rules = 0;
    table.beforeDelete = [&](DataSet&) {
        ++rules;
        throw SilentAbort();
    };
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(asked.size(), 1u);   // the refusal itself shows nothing
    EXPECT_EQ(table.recordCount(), 12);
}

TEST_F(Grid, ClickMovesTheRecordAndDoubleClickIsReported)
{
    int doubleClicks = 0;
    QObject::connect(&grid, &DBGrid::dblClicked, [&] { ++doubleClicks; });
    const QPoint row3 = grid.visualRect(grid.model()->index(3, 0)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(table.currentRow(), 3);
    EXPECT_EQ(selectedRow(), 3);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(doubleClicks, 1);

    // A click on the current row while editing leaves the edit alone.
    table.edit();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(table.state(), DataSetState::Edit);
}

TEST_F(Grid, DrawingHookColoursRowsAlsoWhenSelected)
{
    std::set<std::pair<int, QString>> drawn;
    grid.onDrawColumnCell = [&](GridCellDrawing& cell) {
        drawn.insert({cell.row, cell.field ? cell.field->fieldName() : QString()});
        if (table.web->valueAt(cell.row).toInt() == 1)
            cell.setFontColor(QColor(0, 128, 0));
        grid.defaultDrawColumnCell(cell);
    };
    table.moveTo(2);   // web = 1 (every third product)
    const QImage image = grid.viewport()->grab().toImage();
    EXPECT_TRUE(drawn.count({2, QStringLiteral("utpris")}));
    EXPECT_TRUE(drawn.count({0, QStringLiteral("producttext")}));
    auto rowRect = [&](int row) {
        return grid.visualRect(grid.model()->index(row, 0)).united(grid.visualRect(grid.model()->index(row, 1)));
    };
    EXPECT_TRUE(hasGreen(image, rowRect(2)));    // selected, web = 1
    EXPECT_TRUE(hasGreen(image, rowRect(5)));    // web = 1
    EXPECT_FALSE(hasGreen(image, rowRect(1)));   // web = 0
    EXPECT_FALSE(hasGreen(image, rowRect(3)));
}

} // namespace


namespace {

TEST_F(Grid, ClickBelowAnUnmodifiedNewRecordLandsOnTheProductClicked)
{
    table.moveTo(2);
    table.insert();   // rows below moved down by one
    const QPoint row5 = grid.visualRect(grid.model()->index(5, 0)).center();
    ASSERT_EQ(grid.model()->index(5, 0).data().toString(), QStringLiteral("Vare 4"));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row5);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(table.recordCount(), 12);
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Vare 4"));
    EXPECT_EQ(selectedRow(), table.currentRow());
}

} // namespace
