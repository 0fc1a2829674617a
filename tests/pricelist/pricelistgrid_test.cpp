// The price list's grid and data source over the real product table: the list, its
// colours, Ctrl+Delete's two questions, and input of bound controls reaching the server.
#include "common/messages.h"
#include "dbcontrols/dbcheckbox.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbgrid.h"
#include "dbcontrols/dbgridmodel.h"
#include "pricelist/prisliste.h"
#include "tests/support/pixels.h"
#include "tests/support/qstringprint.h"
#include "tests/support/questions.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PriceListGrid : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin admin;
    std::vector<MessageRequest> asked;
    MessageAnswer answer = MessageAnswer::Ok;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        admin.exec(QStringLiteral("DELETE FROM product"));
        admin.exec(QStringLiteral(
            "INSERT INTO product (id, producttext, price, web, sale) VALUES "
            "(31, 'Roser', 100, 0, 0), (32, 'Amaryllis', 9.99, 1, 0), (33, 'Liljer', NULL, NULL, NULL), "
            "(34, 'Tulipaner', 20, 0, 0)"));
        setMessageHandler([this](const MessageRequest& r) {
            asked.push_back(r);
            return answer;
        });
    }
    void TearDown() override
    {
        setMessageHandler({});
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    static DBGrid& gridOf(TPrislisteForm& form)
    {
        auto* grid = form.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
        EXPECT_NE(grid, nullptr);
        return *grid;
    }
    static void goTo(ProductTable& t, int id)
    {
        t.first();
        while (t.MyTableid->asInteger() != id && !t.eof())
            t.next();
        ASSERT_EQ(t.MyTableid->asInteger(), id);
    }
    QString stored(const QString& expression, int id)
    {
        const QStringList values =
            admin.column(QStringLiteral("SELECT %1 FROM product WHERE id = %2").arg(expression).arg(id));
        return values.isEmpty() ? QStringLiteral("<no row>") : values.front();
    }
};

TEST_F(PriceListGrid, ListsTheProductsWithTheirOutPriceAndWebShopRowsGreen)
{
    TPrislisteForm form;
    DBGrid& grid = gridOf(form);
    EXPECT_EQ(grid.geometry(), QRect(24, 73, 409, 360));
    EXPECT_EQ(grid.dataSource(), form.findChild<DataSource*>(QStringLiteral("MyDataSource")));
    ProductTable& t = form.MyTable;
    const QAbstractItemModel& model = *grid.model();
    ASSERT_EQ(model.rowCount(), 4);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(grid.columnWidth(0), 300);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Tekst"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Pris"));
    QStringList rows;
    for (int r = 0; r < 4; ++r)
        rows << model.index(r, 0).data().toString() + QLatin1Char('=') + model.index(r, 1).data().toString();
    // Ordered by web, then text: the web-shop product last.
    EXPECT_EQ(rows, (QStringList{QStringLiteral("Liljer=kr 0,00"), QStringLiteral("Roser=kr 125,00"),
                                 QStringLiteral("Tulipaner=kr 25,00"), QStringLiteral("Amaryllis=kr 12,49")}));
    EXPECT_EQ(Qt::Alignment(model.index(0, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);

    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto rowRect = [&](int row) {
        return grid.visualRect(model.index(row, 0)).united(grid.visualRect(model.index(row, 1)));
    };
    QImage image = grid.viewport()->grab().toImage();
    EXPECT_TRUE(hasGreen(image, rowRect(3)));
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(hasGreen(image, rowRect(r))) << r;   // web 0 and null: normal colours
    goTo(t, 32);   // selected, still green
    image = grid.viewport()->grab().toImage();
    EXPECT_TRUE(hasGreen(image, rowRect(3)));
    EXPECT_FALSE(hasGreen(image, rowRect(0)));
}

TEST_F(PriceListGrid, CtrlDeleteAsksTwiceAndDeletesOnlyOnOkAndJa)
{
    TPrislisteForm form;
    DBGrid& grid = gridOf(form);
    goTo(form.MyTable, 31);

    answer = MessageAnswer::Cancel;
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, QStringLiteral("Delete record?"));
    EXPECT_EQ(stored(QStringLiteral("producttext"), 31), QStringLiteral("Roser"));

    answer = MessageAnswer::Ok;
    auto nei = answerNextQuestion(QuestionReply::ClickNei);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(nei->text, QStringLiteral("Vil du slette posten Roser?"));
    EXPECT_EQ(form.MyTable.recordCount(), 4);
    EXPECT_EQ(asked.size(), 2u);   // the refusal shows nothing more

    auto ja = answerNextQuestion(QuestionReply::ClickJa);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(ja->asked);
    EXPECT_EQ(form.MyTable.recordCount(), 3);
    EXPECT_EQ(stored(QStringLiteral("producttext"), 31), QStringLiteral("<no row>"));
}

TEST_F(PriceListGrid, BoundControlInputIsStoredOnPost)
{
    TPrislisteForm form;
    QWidget panel;
    auto* source = form.findChild<DataSource*>(QStringLiteral("MyDataSource"));
    ASSERT_NE(source, nullptr);
    DBEdit text(&panel);
    text.setDataSource(source);
    text.setDataField(QStringLiteral("producttext"));
    DBCheckBox web(QStringLiteral("I nettbutikken"), &panel);
    web.setDataSource(source);
    web.setDataField(QStringLiteral("web"));
    web.move(0, 40);
    panel.show();
    QApplication::setActiveWindow(&panel);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    ProductTable& t = form.MyTable;

    // A greyed box (web null) becomes checked and is saved as 1.
    goTo(t, 33);
    ASSERT_EQ(web.checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(&web, Qt::LeftButton, {}, QPoint(6, web.height() / 2));
    EXPECT_EQ(t.state(), DataSetState::Edit);
    t.post();
    EXPECT_EQ(stored(QStringLiteral("web"), 33), QStringLiteral("1"));

    // A cleared text box stores an empty text, not null.
    goTo(t, 34);
    text.setFocus();
    text.selectAll();
    QTest::keyClick(&text, Qt::Key_Backspace);
    t.post();
    EXPECT_EQ(stored(QStringLiteral("producttext IS NULL"), 34), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("producttext"), 34), QString());

    // A character outside Windows-1252 is refused on post, never stored as "?".
    goTo(t, 31);
    text.setFocus();
    text.selectAll();
    for (QChar ch : QStringLiteral("Ω-roser"))
        QTest::sendKeyEvent(QTest::Click, &text, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    try {
        t.post();
        ADD_FAILURE() << "posted";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Teksten kan ikke lagres: tegnene «Ω» finnes ikke i databasens tegnsett (Tekst)."));
    }
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_EQ(text.text(), QStringLiteral("Ω-roser"));
    EXPECT_EQ(stored(QStringLiteral("producttext"), 31), QStringLiteral("Roser"));
}

} // namespace
