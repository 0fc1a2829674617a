// The list's select sent before the windows are made and handed to the table's connection:
// the table that opens with the same settings and statement reads that answer on that
// connection, anything else behaves as if nothing had been sent early, and an early
// failure is reported when the table opens.
#include "db/earlyopen.h"
#include "db/sqltable.h"
#include "tests/support/qstringprint.h"
#include "tests/support/testdatabase.h"

#include <gtest/gtest.h>

namespace {

struct EarlyOpenTest : ::testing::Test {
    testdb::Admin admin;
    QString name;
    DbConnection connection;
    std::unique_ptr<SqlTable> table;

    void SetUp() override
    {
        name = testdb::uniqueTableName(QStringLiteral("early"));
        admin.exec(QStringLiteral("CREATE TABLE %1 (id INT PRIMARY KEY, text VARCHAR(20), web INT) DEFAULT CHARSET=latin1").arg(name));
        admin.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON brisvald.%1 TO 'prisliste'@'%'").arg(name));
        admin.exec(QStringLiteral("INSERT INTO %1 VALUES (1, 'Roser', 1), (2, 'Bånd', 0), (3, 'Garn', 0)").arg(name));
        connection.setSettings(testdb::programSettings());
        table = std::make_unique<SqlTable>(QStringLiteral("T"), connection);
        table->setTableName(name);
        table->setOrderFields(QStringLiteral("web,text"));
    }
    void TearDown() override
    {
        table.reset();
        connection.close();
        admin.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(name));
    }
    // Starts the early select and hands it to the table's connection, as main does.
    void startEarly(const ConnectionSettings& settings)
    {
        auto early = std::make_unique<EarlyOpen>();
        early->start(settings, table->selectStatement());
        connection.takeEarlyOpen(std::move(early));
    }
    QStringList texts()
    {
        QStringList out;
        for (table->first(); !table->eof(); table->next())
            out << table->fieldByName(QStringLiteral("text"))->asString();
        return out;
    }
    // The sessions that sent this table's select.
    QStringList sessionsSelecting()
    {
        return admin.column(QStringLiteral("SELECT DISTINCT thread_id FROM mysql.general_log WHERE command_type = 'Query' "
                                           "AND CONVERT(argument USING latin1) = '%1'")
                                .arg(QString::fromLatin1(table->selectStatement())));
    }
    QStringList queries(unsigned long threadId)
    {
        QStringList log = admin.sessionLog(threadId);
        log.removeIf([](const QString& l) { return !l.startsWith(QLatin1String("Query ")); });
        return log;
    }
};

TEST_F(EarlyOpenTest, TheTableReadsTheEarlyAnswerOnTheEarlyConnection)
{
    startEarly(testdb::programSettings());
    table->open();
    EXPECT_EQ(texts(), QStringList({QStringLiteral("Bånd"), QStringLiteral("Garn"), QStringLiteral("Roser")}));
    // One connection, one select.
    EXPECT_EQ(queries(connection.serverThreadId()), QStringList(QStringLiteral("Query ") + QString::fromLatin1(table->selectStatement())));
    EXPECT_EQ(sessionsSelecting(), QStringList(QString::number(connection.serverThreadId())));
    // Nothing is left for the next connection: it logs in itself.
    DbConnection second;
    second.setSettings(testdb::programSettings());
    second.open();
    EXPECT_NE(second.serverThreadId(), connection.serverThreadId());
}

TEST_F(EarlyOpenTest, OtherSettingsOrAnotherFirstStatementGoTheirOwnWay)
{
    // Another database user: the table connects itself.
    startEarly(testdb::adminSettings());
    table->open();
    EXPECT_EQ(texts().size(), 3);
    EXPECT_EQ(queries(connection.serverThreadId()).size(), 1);
    EXPECT_EQ(sessionsSelecting().size(), 2);
    table->close();
    connection.close();

    // Same settings, but the first statement is another: the early answer is read and
    // dropped, the statement runs, and the select is sent again when the table opens.
    startEarly(testdb::programSettings());
    connection.open();
    EXPECT_EQ(connection.execute(QStringLiteral("UPDATE %1 SET text = 'Glidelås' WHERE id = 3").arg(name).toLatin1()), 1u);
    table->open();
    EXPECT_EQ(texts(), QStringList({QStringLiteral("Bånd"), QStringLiteral("Glidelås"), QStringLiteral("Roser")}));
    EXPECT_EQ(queries(connection.serverThreadId()).size(), 3);
}

TEST_F(EarlyOpenTest, AnEarlyFailureIsReportedWhenTheTableOpensAsItWouldHaveBeen)
{
    ConnectionSettings wrong = testdb::programSettings();
    wrong.password = QStringLiteral("feil");
    QString direct;
    try {
        DbConnection c;
        c.setSettings(wrong);
        c.open();
    } catch (const DatabaseError& e) {
        direct = e.message();
    }
    ASSERT_FALSE(direct.isEmpty());

    startEarly(wrong);
    connection.setSettings(wrong);
    try {
        table->open();
        FAIL() << "opened with a wrong password";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.message(), direct);
    }
    // The failure is handed over once: the next attempt tries the server again.
    connection.setSettings(testdb::programSettings());
    table->open();
    EXPECT_EQ(texts().size(), 3);
}

}

namespace {

TEST(EarlyOpenServerGone, AServerThatStopsBeforeAnsweringFailsTheReadAndHangsNothing)
{
    testdb::PrivateServer server;
    const QByteArray slow = "SELECT SLEEP(30)";
    auto early = std::make_unique<EarlyOpen>();
    early->start(server.programSettings(), slow);
    server.stop(); // while the select is still being answered
    DbConnection connection;
    connection.setSettings(server.programSettings());
    connection.takeEarlyOpen(std::move(early));
    connection.open(); // the early connection, its answer not yet read
    EXPECT_THROW(connection.query(slow), DatabaseError);
}

}
