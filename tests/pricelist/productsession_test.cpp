// The product session on its own, as the nightly export opens it: no window is made, the
// rows are read in the list's order through the data source, main's early select is
// taken over, and a failed open leaves nothing bound to the table.
#include "pricelist/connectionvalues.h"
#include "pricelist/export/productrows.h"
#include "pricelist/productsession.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class ProductSessionTest : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin admin;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        admin.exec(QStringLiteral("DELETE FROM product"));
        admin.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web, sale) VALUES "
                                  "(1, 'Roser', 100, 1, 0), (2, 'Bånd', 8, 0, 1), (3, 'Amaryllis', NULL, 0, 0)"));
    }
    void TearDown() override
    {
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    // The server sessions that have sent the list's select so far.
    QStringList sessionsSelecting()
    {
        return admin.column(QStringLiteral("SELECT DISTINCT thread_id FROM mysql.general_log WHERE command_type = 'Query' "
                                           "AND CONVERT(argument USING latin1) = '%1'")
                                .arg(QString::fromLatin1(ProductTable::listSelect())));
    }
};

TEST_F(ProductSessionTest, OpensWithoutAWindowAndReadsTheRowsInTheListsOrder)
{
    ProductSession session;
    session.open();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_EQ(session.MyDataSource.dataSet(), &session.MyTable);
    EXPECT_EQ(session.MyDataSource.state(), DataSetState::Browse);
    EXPECT_EQ(session.MyDataSource.objectName(), QStringLiteral("MyDataSource"));

    const ProductRows rows(session.MyTable);
    ASSERT_EQ(rows.count(), 3);
    QStringList texts;
    for (int row = 0; row < rows.count(); ++row)
        texts << rows.text(row);
    EXPECT_EQ(texts, QStringList({QStringLiteral("Amaryllis"), QStringLiteral("Bånd"), QStringLiteral("Roser")}));
    EXPECT_DOUBLE_EQ(rows.outPrice(1), 10.0);
    EXPECT_DOUBLE_EQ(rows.outPrice(0), 0.0); // a null price counts as 0
    EXPECT_TRUE(rows.inWebShop(2));

    const QStringList sent = admin.sessionLog(session.MyConnection.serverThreadId()).filter(QStringLiteral("Query "));
    EXPECT_EQ(sent, QStringList(QStringLiteral("Query ") + QString::fromLatin1(ProductTable::listSelect())));
}

TEST_F(ProductSessionTest, TakesOverTheEarlySelectMainHandsIt)
{
    const QStringList before = sessionsSelecting();
    auto early = std::make_unique<EarlyOpen>();
    early->start(productDatabaseSettings(), ProductTable::listSelect());
    ProductSession session(std::move(early));
    session.open();
    EXPECT_EQ(session.MyTable.recordCount(), 3);
    // One session more has sent the select: the early one, which the table read on.
    QStringList added = sessionsSelecting();
    added.removeIf([&](const QString& id) { return before.contains(id); });
    EXPECT_EQ(added, QStringList(QString::number(session.MyConnection.serverThreadId())));
}

TEST_F(ProductSessionTest, AFailedOpenThrowsAndTheSessionGoesCleanly)
{
    qputenv("PRISLISTE_DB_PORT", "1");
    auto early = std::make_unique<EarlyOpen>();
    early->start(productDatabaseSettings(), ProductTable::listSelect());
    auto session = std::make_unique<ProductSession>(std::move(early));
    EXPECT_THROW(session->open(), DatabaseError);
    EXPECT_FALSE(session->MyTable.isActive());
    session.reset();

    // The next session starts afresh.
    testdb::pointProgramAtServer();
    ProductSession again;
    again.open();
    EXPECT_EQ(again.MyTable.recordCount(), 3);
}

} // namespace
