// The product table on the real server: the start-up open, the record rules, the
// statements of a post and a delete, and the start-up failures.
#include "common/errors.h"
#include "common/messages.h"
#include "common/startuperror.h"
#include "pricelist/prisliste.h"
#include "tests/support/errortext.h"
#include "tests/support/qstringprint.h"
#include "tests/support/questions.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class ProductTableTest : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin admin;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        admin.exec(QStringLiteral("DELETE FROM product"));
        admin.exec(QStringLiteral(
            "INSERT INTO product (id, producttext, price, web, sale, picture, object_text) VALUES "
            "(17, 'Roser', 100, 0, 1, 'roser.jpg', 'Røde roser'), (18, 'Amaryllis', 9.99, 1, 0, NULL, NULL), "
            "(19, 'Bånd', NULL, 0, 0, NULL, NULL), (20, 'Anemoner', 0, 1, 0, NULL, NULL)"));
    }
    void TearDown() override
    {
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    QStringList sent(TPrislisteForm& form)
    {
        QStringList log = admin.sessionLog(form.MyConnection.serverThreadId());
        log.removeIf([](const QString& l) { return l.startsWith(QLatin1String("Connect ")); });
        return log;
    }
    static void goTo(ProductTable& t, int id)
    {
        t.first();
        while (t.MyTableid->asInteger() != id && !t.eof())
            t.next();
        ASSERT_EQ(t.MyTableid->asInteger(), id);
    }
};

TEST_F(ProductTableTest, CreatingTheMainWindowReadsEveryProductInOrder)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    EXPECT_EQ(sent(form), QStringList{QStringLiteral("Query SELECT * FROM product ORDER BY web,producttext")});
    ASSERT_EQ(t.recordCount(), 4);
    ASSERT_EQ(t.fieldCount(), 72);
    EXPECT_EQ(t.fields()[71].get(), t.MyTableutpris);
    QStringList texts, outprices;
    for (int row = 0; row < 4; ++row) {
        texts << t.MyTableproducttext->valueAt(row).toString();
        outprices << t.MyTableutpris->displayTextAt(row);
    }
    EXPECT_EQ(texts, (QStringList{"Bånd", "Roser", "Amaryllis", "Anemoner"}));
    EXPECT_EQ(outprices, (QStringList{"kr 0,00", "kr 125,00", "kr 12,49", "kr 0,00"}));
    EXPECT_DOUBLE_EQ(t.MyTableutpris->valueAt(2).toDouble(), 9.99 * 1.25); // unrounded
    EXPECT_EQ(t.MyTableobject_text->valueAt(1).toString(), QStringLiteral("Røde roser"));
    EXPECT_EQ(t.state(), DataSetState::Browse);
}

TEST_F(ProductTableTest, NewRecordDefaultsAndItsInsert)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    t.now = [] { return QDateTime(QDate(2025, 12, 8), QTime(14, 3, 7)); };
    t.insert();
    EXPECT_FALSE(t.isModified());
    EXPECT_EQ(t.MyTableproductcode->asString(), QStringLiteral("08.12.2025 14:03:07"));
    QStringList set;
    for (const auto& f : t.fields())
        if (!f->isNull())
            set << f->fieldName() + QLatin1Char('=') + f->asString();
    EXPECT_EQ(set, (QStringList{"rwx_user=7", "rwx_group=7", "rwx_all=5", "productcode=08.12.2025 14:03:07",
                                "instock=1", "sale=0", "web=0", "utpris=0"}));
    t.MyTableproducttext->setAsString(QStringLiteral("Roser"));
    t.MyTableprice->setAsFloat(80);
    EXPECT_DOUBLE_EQ(t.MyTableutpris->asFloat(), 100);
    t.post();
    EXPECT_EQ(sent(form).back(), QStringLiteral(
        "Query INSERT INTO product\r\n  (rwx_user, rwx_group, rwx_all, productcode, producttext, price, instock, sale, web)\r\n"
        "VALUES\r\n  (7, 7, 5, '08.12.2025 14:03:07', 'Roser', 80, 1, 0, 0)"));
    EXPECT_GT(t.MyTableid->asInteger(), 20);
    // The server filled `updated` on its own (the tests' table has a default there); the
    // client's copy stays empty until the next start.
    EXPECT_EQ(admin.column(QStringLiteral("SELECT updated IS NOT NULL FROM product WHERE id = %1").arg(t.MyTableid->asInteger())),
              QStringList{QStringLiteral("1")});
    EXPECT_TRUE(t.MyTableupdated->isNull());

    t.now = [] { return QDateTime(QDate(2025, 12, 9), QTime(0, 0)); };
    t.insert();
    EXPECT_EQ(t.MyTableproductcode->asString(), QStringLiteral("09.12.2025"));
    t.cancel();
}

TEST_F(ProductTableTest, TextsAreCutToTheirWidth)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    goTo(t, 17);
    t.edit();
    t.MyTableproducttext->setAsString(QString(130, QLatin1Char('x')));
    t.MyTablepicture->setAsString(QString(129, QLatin1Char('p')));
    t.post();
    EXPECT_EQ(admin.column(QStringLiteral("SELECT CONCAT(LENGTH(producttext), ',', LENGTH(picture)) FROM product WHERE id = 17")),
              QStringList{QStringLiteral("128,128")});
}

TEST_F(ProductTableTest, UpdateOfThePrice)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    goTo(t, 17);
    t.edit();
    t.MyTableprice->setAsString(QStringLiteral("120"));
    t.post();
    EXPECT_EQ(sent(form).back(), QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 120\r\nWHERE\r\n  id = 17"));
    EXPECT_EQ(t.MyTableutpris->displayText(), QStringLiteral("kr 150,00"));
}

TEST_F(ProductTableTest, ClosingWhileEditingSendsNothingForTheRecord)
{
    auto form = std::make_unique<TPrislisteForm>();
    const unsigned long thread = form->MyConnection.serverThreadId();
    goTo(form->MyTable, 17);
    form->MyTable.edit();
    form->MyTable.MyTableprice->setAsFloat(1);
    form.reset();
    QStringList log;
    for (int i = 0; i < 100 && !log.join(QString()).contains(QLatin1String("Quit")); ++i) {
        QThread::msleep(20);
        log = admin.sessionLog(thread);
    }
    log.removeFirst(); // the log-in
    EXPECT_EQ(log, (QStringList{QStringLiteral("Query SELECT * FROM product ORDER BY web,producttext"), QStringLiteral("Quit ")}));
    EXPECT_EQ(admin.column(QStringLiteral("SELECT price FROM product WHERE id = 17")), QStringList{QStringLiteral("100")});
}

TEST_F(ProductTableTest, DeleteAsksFirst)
{
    TPrislisteForm form;
    ProductTable& t = form.MyTable;
    goTo(t, 17);
    const int before = int(sent(form).size());

    auto no = answerNextQuestion(QuestionReply::ClickNei);
    EXPECT_THROW(t.deleteRecord(), SilentAbort);
    EXPECT_EQ(no->text, QStringLiteral("Vil du slette posten Roser?"));
    EXPECT_EQ(int(sent(form).size()), before);
    EXPECT_EQ(t.recordCount(), 4);

    auto closed = answerNextQuestion(QuestionReply::CloseBox); // no answer: the default, no
    EXPECT_THROW(t.deleteRecord(), SilentAbort);
    EXPECT_TRUE(closed->asked);

    auto yes = answerNextQuestion(QuestionReply::ClickJa);
    t.deleteRecord();
    EXPECT_TRUE(yes->asked);
    EXPECT_EQ(sent(form).back(), QStringLiteral("Query DELETE FROM product\r\nWHERE\r\n  id = 17"));
    EXPECT_EQ(t.recordCount(), 3);

    t.insert();
    t.deleteRecord(); // a new record goes without a question (none is answered here)
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.state(), DataSetState::Browse);
}

TEST_F(ProductTableTest, DeleteOnAnEmptyTableFails)
{
    admin.exec(QStringLiteral("DELETE FROM product"));
    TPrislisteForm form;
    EXPECT_EQ(errorOf([&] { form.MyTable.deleteRecord(); }),
              QStringLiteral("MyTable: Cannot perform this operation on an empty dataset"));
}

// Start-up failures: no window, the "Application Error" box with the error.
TEST_F(ProductTableTest, StartUpFailuresShowTheApplicationErrorBox)
{
    struct Case { const char* what; std::function<void()> arrange; QString message; std::function<void()> undo; };
    const Case cases[] = {
        {"closed port", [] { qputenv("PRISLISTE_DB_PORT", "1"); },
         QStringLiteral("EMySQLError.*\\.\nCan't connect to MySQL server on '127\\.0\\.0\\.1' \\(10061\\)\n"
                        "Socket error on connect\\. WSAGetLastError return 111\\(\\$6F\\)\\.\n"), {}},
        {"unknown host", [] { qputenv("PRISLISTE_DB_HOST", "no-such-host.invalid"); },
         QStringLiteral("EMySQLError.*\\.\nCan't connect to MySQL server on 'no-such-host\\.invalid' \\(10061\\)\n"
                        "Socket error on connect\\. WSAGetLastError return \\d+\\(\\$[0-9A-F]+\\)\\.\n"), {}},
        {"column of another kind", [this] { admin.exec(QStringLiteral("ALTER TABLE product MODIFY web TINYINT(1)")); },
         QStringLiteral("EDatabaseError.*\\.\nMyTable: Type mismatch for field 'web', expecting: Integer actual: Boolean\\.\n"),
         [this] { admin.exec(QStringLiteral("ALTER TABLE product MODIFY web INT")); }},
    };
    for (const Case& c : cases) {
        testdb::pointProgramAtServer();
        c.arrange();
        QList<MessageRequest> boxes;
        setMessageHandler([&](const MessageRequest& r) { boxes << r; return MessageAnswer::Ok; });
        const auto window = createMainWindow<TPrislisteForm>();
        setMessageHandler({});
        if (c.undo)
            c.undo();
        EXPECT_EQ(window, nullptr) << c.what;
        ASSERT_EQ(boxes.size(), 1) << c.what;
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Application Error"));
        EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Exception ") + c.message + QLatin1Char('$')).match(boxes[0].text).hasMatch())
            << c.what << ": " << boxes[0].text.toStdString();
    }
}
}
