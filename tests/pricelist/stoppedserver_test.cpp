// The program against a server of its own: a refused log-in at start-up, a server that
// stops, stops answering or restarts while the program runs.
#include "common/errors.h"
#include "common/messages.h"
#include "common/startuperror.h"
#include "common/textfil.h"
#include "pricelist/prisliste.h"
#include "tests/support/qstringprint.h"
#include "tests/support/questions.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <mysql.h>

namespace {

// The program's table on a private server with two products, a short statement time-out,
// and the log on to count the reconnections.
class RunningServer : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::PrivateServer server;
    std::unique_ptr<TPrislisteForm> form;
    bool logging = Log::instance().logging;
    qsizetype linesBefore = 0;

    void SetUp() override
    {
        ASSERT_NE(server.port(), 0u);
        qputenv("PRISLISTE_DB_HOST", "127.0.0.1");
        qputenv("PRISLISTE_DB_PORT", QByteArray::number(server.port()));
        qputenv("PRISLISTE_DB_TIMEOUT", "2");
        adminExec("INSERT INTO product (id, producttext, price) VALUES (1, 'Roser', 100), (2, 'Liljer', 50)");
        Log::instance().logging = true;
        linesBefore = Log::instance().lines().size();
        form = std::make_unique<TPrislisteForm>();
        ASSERT_EQ(form->MyTable.recordCount(), 2);
    }
    void TearDown() override
    {
        form.reset();
        Log::instance().logging = logging;
        for (const char* name : {"PRISLISTE_DB_HOST", "PRISLISTE_DB_PORT", "PRISLISTE_DB_TIMEOUT"})
            qunsetenv(name);
    }
    void adminExec(const QByteArray& statement)
    {
        DbConnection admin;
        admin.setSettings(server.adminSettings());
        admin.open();
        admin.execute(statement);
    }
    QStringList adminColumn(const QByteArray& statement)
    {
        DbConnection admin;
        admin.setSettings(server.adminSettings());
        admin.open();
        QStringList values;
        MYSQL_RES* result = admin.query(statement);
        while (MYSQL_ROW row = mysql_fetch_row(result))
            values << QString::fromLatin1(row[0]);
        mysql_free_result(result);
        return values;
    }
    QString priceOnServer() { return adminColumn("SELECT price FROM product WHERE id = 2").value(0); }
    int updatesReceived()
    {
        return adminColumn("SELECT COUNT(*) FROM mysql.general_log WHERE argument LIKE 'UPDATE product%'").value(0).toInt();
    }
    qsizetype reconnectLines() const
    {
        return Log::instance().lines().mid(linesBefore).filter(QStringLiteral("koblet til 127.0.0.1")).size();
    }
    // Edits the first product of the list (Liljer, id 2) and saves; the error text, empty when saved.
    QString save(double price)
    {
        ProductTable& t = form->MyTable;
        t.first();
        t.edit();
        t.MyTableprice->setAsFloat(price);
        try {
            t.post();
        } catch (const Error& e) {
            return e.message();
        }
        return {};
    }
};

TEST_F(RunningServer, AServerThatStopsAnsweringFailsTheSaveAtTheTimeOutAndIsReachedAgain)
{
    ProductTable& t = form->MyTable;
    server.freeze();
    QElapsedTimer clock;
    clock.start();
    const QString error = save(120);
    const qint64 waited = clock.elapsed();
    server.thaw();
    // The system's "timed out" as the socket error.
    EXPECT_EQ(error, QStringLiteral("Lost connection to MySQL server during query\n"
                                    "Socket error on read. WSAGetLastError return 110($6E)"));
    EXPECT_GE(waited, 1900);
    EXPECT_LT(waited, 15000);
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 120);
    EXPECT_EQ(reconnectLines(), 0);

    t.MyTableprice->setAsFloat(130);
    t.post(); // "Lagre" again: a new connection
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(priceOnServer(), QStringLiteral("130"));
    EXPECT_EQ(reconnectLines(), 1);
    EXPECT_EQ(save(140), QString()); // and the new one stays
    EXPECT_EQ(reconnectLines(), 1);
}

TEST_F(RunningServer, ARestartedServerIsReachedAgainByTheNextAction)
{
    ProductTable& t = form->MyTable;
    server.stop();
    server.restart();
    const int updatesBefore = updatesReceived();
    const QString error = save(120);
    EXPECT_TRUE(error.startsWith(QLatin1String("Lost connection to MySQL server during query\n"))) << error.toStdString();
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 120);
    EXPECT_EQ(updatesReceived(), updatesBefore); // not sent again behind the user's back
    EXPECT_EQ(priceOnServer(), QStringLiteral("50"));

    t.post();
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(priceOnServer(), QStringLiteral("120"));
    EXPECT_EQ(updatesReceived(), updatesBefore + 1);
    EXPECT_EQ(reconnectLines(), 1);

    // "Oppdater" after a second restart: it fails once, then reads what the server holds.
    server.stop();
    server.restart();
    adminExec("INSERT INTO product (id, producttext, price) VALUES (3, 'Tulipaner', 30)");
    QString refreshError;
    try { t.refresh(); } catch (const Error& e) { refreshError = e.message(); }
    EXPECT_TRUE(refreshError.startsWith(QLatin1String("Lost connection"))) << refreshError.toStdString();
    EXPECT_EQ(t.recordCount(), 2);
    t.refresh();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(reconnectLines(), 2);
}

TEST(StoppedServer, WrongPasswordStopsTheStartAndALostServerFailsEachWrite)
{
    Sandbox sandbox;
    testdb::PrivateServer server("Annet123"); // not the program's password
    ASSERT_NE(server.port(), 0u);
    qputenv("PRISLISTE_DB_HOST", "127.0.0.1");
    qputenv("PRISLISTE_DB_PORT", QByteArray::number(server.port()));

    QList<MessageRequest> boxes;
    setMessageHandler([&](const MessageRequest& r) { boxes << r; return MessageAnswer::Ok; });
    EXPECT_EQ(createMainWindow<TPrislisteForm>(), nullptr);
    setMessageHandler({});
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Exception EMySQLError in module \\S+ at [0-9A-F]+\\.\n\n#28000Access denied "
                                                  "for user 'prisliste'@'127\\.0\\.0\\.1' \\(using password: YES\\)\\.\n$"))
                    .match(boxes[0].text)
                    .hasMatch())
        << boxes[0].text.toStdString();

    {
        DbConnection admin;
        admin.setSettings(server.adminSettings());
        admin.open();
        admin.execute("ALTER USER 'prisliste'@'%' IDENTIFIED BY 'Blomst24'");
        admin.execute("INSERT INTO product (id, producttext, price) VALUES (1, 'Roser', 100), (2, 'Liljer', 50)");
    }
    auto form = std::make_unique<TPrislisteForm>();
    ProductTable& t = form->MyTable;
    ASSERT_EQ(t.recordCount(), 2);
    server.stop();

    t.edit();
    t.MyTableprice->setAsFloat(120);
    QString first, second;
    try { t.post(); } catch (const Error& e) { first = e.message(); }
    try { t.post(); } catch (const Error& e) { second = e.message(); }
    EXPECT_TRUE(first.startsWith(QLatin1String("Lost connection to MySQL server during query\nSocket error on ")))
        << first.toStdString();
    // The next action connects anew, and finds no server.
    EXPECT_EQ(second, QStringLiteral("Can't connect to MySQL server on '127.0.0.1' (10061)\n"
                                     "Socket error on connect. WSAGetLastError return 111($6F)"));
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 120);
    t.cancel();
    QString insertError;
    try { t.insert(); t.MyTableproducttext->setAsString(QStringLiteral("Ny")); t.post(); } catch (const Error& e) { insertError = e.message(); }
    EXPECT_TRUE(insertError.startsWith(QLatin1String("Can't connect"))) << insertError.toStdString();
    t.cancel();
    EXPECT_EQ(t.recordCount(), 2);

    // A delete answered yes fails the same way, and the product stays in the list.
    t.first();
    const QString current = t.MyTableproducttext->asString();
    auto yes = answerNextQuestion(QuestionReply::ClickJa);
    QString deleteError;
    try { t.deleteRecord(); } catch (const Error& e) { deleteError = e.message(); }
    EXPECT_TRUE(yes->asked);
    EXPECT_TRUE(deleteError.startsWith(QLatin1String("Can't connect"))) << deleteError.toStdString();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.MyTableproducttext->asString(), current);
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(t.MyTableproducttext->valueAt(1).toString(), QStringLiteral("Roser"));
    form.reset(); // closes cleanly
    qunsetenv("PRISLISTE_DB_HOST");
    qunsetenv("PRISLISTE_DB_PORT");
}
}
