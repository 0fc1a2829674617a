// The program against a server of its own: a refused log-in at start-up, and a server
// that stops while the program runs.
#include "common/errors.h"
#include "common/messages.h"
#include "common/startuperror.h"
#include "pricelist/prisliste.h"
#include "tests/support/qstringprint.h"
#include "tests/support/questions.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

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
    EXPECT_TRUE(second.startsWith(QLatin1String("Lost connection to MySQL server during query\nSocket error on write.")))
        << second.toStdString();
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.MyTableprice->asFloat(), 120);
    t.cancel();
    QString insertError;
    try { t.insert(); t.MyTableproducttext->setAsString(QStringLiteral("Ny")); t.post(); } catch (const Error& e) { insertError = e.message(); }
    EXPECT_TRUE(insertError.startsWith(QLatin1String("Lost connection"))) << insertError.toStdString();
    t.cancel();
    EXPECT_EQ(t.recordCount(), 2);

    // A delete answered yes fails the same way, and the product stays in the list.
    t.first();
    const QString current = t.MyTableproducttext->asString();
    auto yes = answerNextQuestion(QuestionReply::ClickJa);
    QString deleteError;
    try { t.deleteRecord(); } catch (const Error& e) { deleteError = e.message(); }
    EXPECT_TRUE(yes->asked);
    EXPECT_TRUE(deleteError.startsWith(QLatin1String("Lost connection"))) << deleteError.toStdString();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.MyTableproducttext->asString(), current);
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(t.MyTableproducttext->valueAt(1).toString(), QStringLiteral("Roser"));
    form.reset(); // closes cleanly
    qunsetenv("PRISLISTE_DB_HOST");
    qunsetenv("PRISLISTE_DB_PORT");
}
}
