// "Oppdater" (F5): the product table read again from the server, with what another
// workstation changed, on the same product; a pending edit first; a stopped server.
#include "common/errors.h"
#include "common/messages.h"
#include "dbcontrols/dbgrid.h"
#include "pricelist/prisliste.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Refresh : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin other; // the other workstation
    std::vector<MessageRequest> boxes;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        other.exec(QStringLiteral("DELETE FROM product"));
        other.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web) VALUES "
                                  "(1, 'Bånd', 10, 0), (2, 'Knapper', 20, 0), (3, 'Roser', 100, 0), "
                                  "(4, 'Sytråd', 15, 0), (5, 'Tulipaner', 30, 1)"));
        setMessageHandler([this](const MessageRequest& r) {
            boxes.push_back(r);
            return MessageAnswer::Ok;
        });
    }
    void TearDown() override
    {
        setMessageHandler({});
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    static void goTo(ProductTable& t, int id)
    {
        t.first();
        while (t.MyTableid->asInteger() != id && !t.eof())
            t.next();
        ASSERT_EQ(t.MyTableid->asInteger(), id);
    }
    static QStringList texts(const ProductTable& t)
    {
        QStringList list;
        for (int row = 0; row < t.recordCount(); ++row)
            list << t.MyTableproducttext->valueAt(row).toString();
        return list;
    }
    static void refreshByMenu(TPrislisteForm& form)
    {
        auto* action = form.findChild<QAction*>(QStringLiteral("Oppdater1"));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QStringLiteral("Oppdater"));
        EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F5));
        action->trigger();
    }
};

TEST_F(Refresh, ShowsOtherWorkstationsChangesAndStaysOnTheSameProduct)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    goTo(t, 3);
    QAbstractItemModelTester tester(form.DBGrid1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    int dataChanges = 0;
    const auto handler = form.MyDataSource->onDataChange;
    form.MyDataSource->onDataChange = [&](const Field* f) {
        ++dataChanges;
        handler(f);
    };

    other.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web) VALUES (6, 'Anemoner', 40, 0), "
                              "(7, 'Glidelås', 5, 0)"));
    other.exec(QStringLiteral("UPDATE product SET producttext = 'Roser, røde', price = 120 WHERE id = 3"));
    other.exec(QStringLiteral("DELETE FROM product WHERE id = 2"));
    refreshByMenu(form);

    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(texts(t), (QStringList{"Anemoner", "Bånd", "Glidelås", "Roser, røde", "Sytråd", "Tulipaner"}));
    EXPECT_EQ(t.MyTableid->asInteger(), 3);
    EXPECT_EQ(t.currentRow(), 3);
    EXPECT_EQ(t.MyTableutpris->displayText(), QStringLiteral("kr 150,00"));
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_GE(dataChanges, 1);
    QStringList sent = other.sessionLog(form.MyConnection.serverThreadId());
    sent.removeIf([](const QString& l) { return l.startsWith(QLatin1String("Connect ")); });
    const QString select = QStringLiteral("Query SELECT * FROM product ORDER BY web,producttext");
    EXPECT_EQ(sent, (QStringList{select, select}));
    const auto* grid = form.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
    EXPECT_EQ(grid->model()->rowCount(), 6);
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QStringLiteral("Anemoner"));
}

TEST_F(Refresh, WhenTheCurrentProductWasDeletedTheOneThatTookItsPlaceBecomesCurrent)
{
    struct Case {
        const char* name;
        int current;
        const char* deleted;
        int expected; // id, 0: the list is empty
    };
    const Case cases[] = {
        {"the next one", 3, "3", 4},
        {"the next one still there", 3, "3, 4", 5},
        {"the last one deleted: the one before", 5, "5, 4", 3},
        {"the first one", 1, "1", 2},
        {"no rows left", 3, "1, 2, 3, 4, 5", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        TPrislisteForm form;
        ProductTable& t = form.MyTable;
        goTo(t, c.current);
        other.exec(QStringLiteral("DELETE FROM product WHERE id IN (%1)").arg(QLatin1String(c.deleted)));
        form.Oppdater1->trigger();
        EXPECT_TRUE(boxes.empty());
        if (c.expected == 0) {
            EXPECT_EQ(t.recordCount(), 0);
            EXPECT_EQ(t.currentRow(), -1);
            EXPECT_TRUE(t.MyTableproducttext->isNull());
        } else {
            EXPECT_EQ(t.MyTableid->asInteger(), c.expected);
        }
        TearDown();
    }
}

TEST_F(Refresh, APendingEditIsPostedFirstAndAFailedPostStopsTheRefresh)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    goTo(t, 4);
    t.edit();
    t.MyTableprice->setAsFloat(16);
    other.exec(QStringLiteral("UPDATE product SET producttext = 'Glidelås' WHERE id = 1"));
    form.Oppdater1->trigger();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(other.column(QStringLiteral("SELECT price FROM product WHERE id = 4")), QStringList{"16"});
    EXPECT_EQ(t.MyTableid->asInteger(), 4);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 16);
    EXPECT_EQ(texts(t).front(), QStringLiteral("Glidelås"));

    // The edited product was deleted elsewhere: the post fails, nothing is read.
    t.edit();
    t.MyTableprice->setAsFloat(17);
    other.exec(QStringLiteral("DELETE FROM product WHERE id = 4"));
    other.exec(QStringLiteral("UPDATE product SET producttext = 'Stoff' WHERE id = 1"));
    form.Oppdater1->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("MyTable: Update failed. Found 0 records."));
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 17);
    EXPECT_EQ(texts(t), (QStringList{"Glidelås", "Knapper", "Roser", "Sytråd", "Tulipaner"}));

    // Cancelled, the next refresh goes ahead and lands where Sytråd stood.
    t.cancel();
    form.Oppdater1->trigger();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(texts(t), (QStringList{"Knapper", "Roser", "Stoff", "Tulipaner"}));
    EXPECT_EQ(t.MyTableproducttext->asString(), QStringLiteral("Tulipaner"));
}

TEST_F(Refresh, AnUnchangedNewRecordIsDroppedAndF5RefreshesInTheWindow)
{
    TPrislisteForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ProductTable& t = form.MyTable;
    goTo(t, 2);
    t.insert();
    other.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web) VALUES (7, 'Garn', 25, 0)"));
    auto* grid = form.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(texts(t), (QStringList{"Bånd", "Garn", "Knapper", "Roser", "Sytråd", "Tulipaner"}));
    EXPECT_EQ(t.MyTableid->asInteger(), 2);
    EXPECT_EQ(other.column(QStringLiteral("SELECT COUNT(*) FROM product")), QStringList{"6"});
}

TEST_F(Refresh, AStoppedServerGivesTheUsualErrorAndKeepsTheList)
{
    testdb::PrivateServer server;
    ASSERT_NE(server.port(), 0u);
    qputenv("PRISLISTE_DB_HOST", "127.0.0.1");
    qputenv("PRISLISTE_DB_PORT", QByteArray::number(server.port()));
    {
        DbConnection admin;
        admin.setSettings(server.adminSettings());
        admin.open();
        admin.execute("INSERT INTO product (id, producttext, price) VALUES (1, 'Roser', 100), (2, 'Liljer', 50)");
    }
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    t.last();
    server.stop();
    form.Oppdater1->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QLatin1String("Lost connection to MySQL server during query\nSocket error on ")))
        << boxes[0].text.toStdString();
    EXPECT_EQ(texts(t), (QStringList{"Liljer", "Roser"}));
    EXPECT_EQ(t.MyTableproducttext->asString(), QStringLiteral("Roser"));
    EXPECT_EQ(t.state(), DataSetState::Browse);
    const auto* grid = form.findChild<DBGrid*>(QStringLiteral("DBGrid1"));
    EXPECT_EQ(grid->model()->rowCount(), 2);
}

}
