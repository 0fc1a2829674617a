// A table over the real server: what open, post and delete send (read from the server's
// general log), the key, the column types, conflicts and failures.
#include "common/errors.h"
#include "db/datasource.h"
#include "dbcontrols/dbedit.h"
#include "db/sqltable.h"
#include "db/win1252.h"
#include "tests/support/errortext.h"
#include "tests/support/qstringprint.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A fresh table of the test's own, and a connection of the program's user to it.
struct ServerTable : ::testing::Test {
    testdb::Admin admin;
    DbConnection connection;
    QString name;

    void create(const QString& columns, const QString& rows = QString())
    {
        name = testdb::uniqueTableName(QStringLiteral("t"));
        admin.exec(QStringLiteral("CREATE TABLE %1 (%2) DEFAULT CHARSET=latin1").arg(name, columns));
        admin.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON brisvald.%1 TO 'prisliste'@'%'").arg(name));
        if (!rows.isEmpty())
            admin.exec(QStringLiteral("INSERT INTO %1 VALUES %2").arg(name, rows));
        connection.setSettings(testdb::programSettings());
    }
    void TearDown() override
    {
        connection.close();
        if (!name.isEmpty())
            admin.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(name));
    }
    // The statements this connection sent (without the log-in line).
    QStringList sent()
    {
        QStringList log = admin.sessionLog(connection.serverThreadId());
        log.removeIf([](const QString& l) { return l.startsWith(QLatin1String("Connect ")); });
        return log;
    }
    QString lastSent()
    {
        const QStringList log = sent();
        return log.isEmpty() ? QString() : log.back();
    }
};

struct Products : ServerTable {
    std::unique_ptr<SqlTable> table;
    Field *id, *text, *price, *note, *updated;

    void SetUp() override
    {
        create(QStringLiteral("id INT AUTO_INCREMENT PRIMARY KEY, text VARCHAR(20), price DOUBLE, note TEXT, "
                              "updated DATETIME, web INT, KEY(web, text)"),
               QStringLiteral("(17, 'Roser', 100, 'rosa', NULL, 0), (18, 'Tulipaner', 45.5, NULL, '2025-12-08 14:03:07', 1), "
                              "(19, 'Bånd', NULL, '', NULL, 0)"));
        table = std::make_unique<SqlTable>(QStringLiteral("T"), connection);
        table->setTableName(name);
        table->setOrderFields(QStringLiteral("web,text"));
        id = table->addField(QStringLiteral("id"), FieldKind::Integer);
        text = table->addField(QStringLiteral("text"), FieldKind::String, 128);
        price = table->addField(QStringLiteral("price"), FieldKind::Float);
        note = table->addField(QStringLiteral("note"), FieldKind::Memo);
        updated = table->addField(QStringLiteral("updated"), FieldKind::DateTime);
        table->addField(QStringLiteral("web"), FieldKind::Integer);
        table->open();
    }
    void goTo(int wantedId)
    {
        table->first();
        while (id->asInteger() != wantedId && !table->eof())
            table->next();
        ASSERT_EQ(id->asInteger(), wantedId);
    }
};

TEST_F(Products, OpenSendsOnlyTheSelectAfterTheLogin)
{
    EXPECT_EQ(sent(), QStringList{QStringLiteral("Query SELECT * FROM %1 ORDER BY web,text").arg(name)});
    ASSERT_EQ(table->recordCount(), 3);
    // web first, then text
    EXPECT_EQ(text->valueAt(0).toString(), QStringLiteral("Bånd"));
    EXPECT_EQ(text->valueAt(1).toString(), QStringLiteral("Roser"));
    EXPECT_EQ(text->valueAt(2).toString(), QStringLiteral("Tulipaner"));
    EXPECT_EQ(text->size(), 20); // narrowed to the column
    EXPECT_TRUE(price->valueAt(0).isNull());
    EXPECT_EQ(note->valueAt(1).toString(), QStringLiteral("rosa"));
    EXPECT_EQ(updated->valueAt(2).toDateTime(), QDateTime(QDate(2025, 12, 8), QTime(14, 3, 7)));
    ASSERT_EQ(table->keyFields().size(), 1u);
    EXPECT_EQ(table->keyFields()[0], id);
    const unsigned long thread = connection.serverThreadId();
    connection.close();
    for (int i = 0; i < 100 && admin.sessionLog(thread).size() < 3; ++i)
        QThread::msleep(20);
    EXPECT_EQ(admin.sessionLog(thread).value(2), QStringLiteral("Quit "));
}

TEST_F(Products, UpdateSendsTheChangedFieldsKeyedByTheOldId)
{
    goTo(17);
    table->edit();
    price->setAsFloat(120);
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  price = 120\r\nWHERE\r\n  id = 17").arg(name));

    table->edit();
    price->clear();
    text->setAsString(QStringLiteral("O'Hara \\ \"x\""));
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  text = 'O\\'Hara \\\\ \\\"x\\\"', price = NULL\r\n"
                                         "WHERE\r\n  id = 17").arg(name));
    EXPECT_EQ(admin.column(QStringLiteral("SELECT CONCAT(text, '|', IFNULL(price, 'null')) FROM %1 WHERE id = 17").arg(name)),
              QStringList{QStringLiteral("O'Hara \\ \"x\"|null")});
}

TEST_F(Products, FloatsReachTheServerWithFifteenDigits)
{
    goTo(17);
    for (const char* value : {"1.23456789012345e-05", "-9.87654321098765e-300", "1.23456789012345e300", "-0.1"}) {
        table->edit();
        price->setAsFloat(std::strtod(value, nullptr));
        table->post();
        // The server holds exactly the client's number.
        EXPECT_EQ(admin.column(QStringLiteral("SELECT price = %1 FROM %2 WHERE id = 17").arg(QLatin1String(value), name)),
                  QStringList{QStringLiteral("1")}) << lastSent().toStdString();
    }
    table->edit();
    price->setAsFloat(1.23456789012345e-05);
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  price = 0.0000123456789012345\r\nWHERE\r\n  id = 17").arg(name));
}

TEST_F(Products, AnEditThatChangesNothingSendsNothing)
{
    goTo(17);
    const int before = int(sent().size());
    table->edit();
    table->post();
    table->edit();
    price->setAsFloat(100); // the value it already has
    text->setAsString(QStringLiteral("Roser"));
    table->post();
    EXPECT_EQ(int(sent().size()), before);

    table->edit();
    note->setAsString(QStringLiteral("rosa")); // a memo written counts, even unchanged
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  note = 'rosa'\r\nWHERE\r\n  id = 17").arg(name));
}

TEST_F(Products, InsertSendsTheNonNullFieldsAndTakesTheNewId)
{
    table->insert();
    text->setAsString(QStringLiteral("Liljer"));
    price->setAsString(QStringLiteral("12,5"));
    updated->setAsDateTime(QDateTime(QDate(100, 1, 1), QTime(0, 0)));
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query INSERT INTO %1\r\n  (text, price, updated)\r\nVALUES\r\n"
                                         "  ('Liljer', 12.5, '0000-00-00 00:00:00')").arg(name));
    EXPECT_EQ(id->asInteger(), 20);
    EXPECT_EQ(table->state(), DataSetState::Browse);
    // Edited again in the same run, it is keyed by the id the server gave it.
    table->edit();
    price->setAsFloat(13);
    table->post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  price = 13\r\nWHERE\r\n  id = 20").arg(name));

    table->insert();
    table->post(); // every field null
    EXPECT_EQ(lastSent(), QStringLiteral("Query INSERT INTO %1\r\n  ()\r\nVALUES\r\n  ()").arg(name));
    EXPECT_EQ(id->asInteger(), 21);
}

TEST_F(Products, DeleteSendsTheKeyOfTheStoredValues)
{
    goTo(18);
    table->edit();
    id->setAsInteger(99); // pending changes are not used
    table->deleteRecord();
    EXPECT_EQ(lastSent(), QStringLiteral("Query DELETE FROM %1\r\nWHERE\r\n  id = 18").arg(name));
    EXPECT_EQ(table->recordCount(), 2);
    EXPECT_EQ(table->state(), DataSetState::Browse);
}

TEST_F(Products, ARowDeletedByAnotherSessionMakesSaveAndDeleteFail)
{
    goTo(17);
    admin.exec(QStringLiteral("DELETE FROM %1 WHERE id = 17").arg(name));
    table->edit();
    price->setAsFloat(1);
    EXPECT_EQ(errorOf([&] { table->post(); }), QStringLiteral("T: Update failed. Found 0 records"));
    EXPECT_EQ(table->state(), DataSetState::Edit);
    EXPECT_EQ(price->asFloat(), 1);
    table->cancel();
    EXPECT_EQ(errorOf([&] { table->deleteRecord(); }), QStringLiteral("T: Update failed. Found 0 records"));
    EXPECT_EQ(table->recordCount(), 3);
    EXPECT_EQ(id->asInteger(), 17);
}

TEST_F(Products, ServerErrorsCarryTheSqlState)
{
    goTo(17);
    table->edit();
    id->setAsInteger(18); // duplicate key
    EXPECT_EQ(errorOf([&] { table->post(); }), QStringLiteral("\n#23000Duplicate entry '18' for key 'PRIMARY'"));
    EXPECT_EQ(table->state(), DataSetState::Edit);
}

TEST_F(Products, ALostConnectionFailsOneStatementAndTheNextConnectsAnew)
{
    const unsigned long killed = connection.serverThreadId();
    admin.exec(QStringLiteral("KILL CONNECTION %1").arg(killed));
    goTo(17);
    table->edit();
    price->setAsFloat(5);
    const QString first = errorOf([&] { table->post(); });
    EXPECT_TRUE(first.startsWith(QLatin1String("Lost connection to MySQL server during query\nSocket error on read. WSAGetLastError return ")))
        << first.toStdString();
    EXPECT_EQ(table->state(), DataSetState::Edit);
    EXPECT_TRUE(connection.isLost());
    EXPECT_EQ(table->recordCount(), 3);
    EXPECT_EQ(text->valueAt(1).toString(), QStringLiteral("Roser"));

    text->setAsString(QStringLiteral("O'Hara")); // quoted for the new session
    EXPECT_EQ(errorOf([&] { table->post(); }), QStringLiteral("<no error>"));
    EXPECT_FALSE(connection.isLost());
    EXPECT_NE(connection.serverThreadId(), killed);
    EXPECT_EQ(admin.column(QStringLiteral("SELECT CONCAT(text, ' ', price) FROM %1 WHERE id = 17").arg(name)),
              QStringList{QStringLiteral("O'Hara 5")});
    EXPECT_EQ(table->state(), DataSetState::Browse);
}

// Strings reach the server unchanged whatever its SQL mode.
TEST_F(Products, TextSurvivesBothEscapingModes)
{
    const QString nasty = QStringLiteral("a'b\\c\"d\ne\rf") + QChar(26) + QChar(0) + QStringLiteral("ø€'");
    for (const char* mode : {"", "NO_BACKSLASH_ESCAPES"}) {
        connection.execute(QByteArray("SET SESSION sql_mode = '") + mode + "'");
        goTo(19);
        table->edit();
        note->setAsString(nasty + QLatin1String(mode));
        table->post();
        EXPECT_EQ(admin.column(QStringLiteral("SELECT HEX(note) FROM %1 WHERE id = 19").arg(name)),
                  QStringList{QString::fromLatin1(toWin1252(nasty + QLatin1String(mode)).toHex().toUpper())})
            << mode;
        EXPECT_EQ(admin.column(QStringLiteral("SELECT COUNT(*) FROM %1").arg(name)), QStringList{QStringLiteral("3")});
    }
}

TEST(SqlLiterals, Floats)
{
    const std::pair<double, const char*> cases[] = {
        {80, "80"}, {12.5, "12.5"}, {-2.25, "-2.25"}, {0, "0"}, {0.1 + 0.2, "0.3"},
        {0.00001, "0.00001"}, {0.000001, "1E-6"}, {123456789012345.0, "123456789012345"},
        {1e15, "1E15"}, {1234567890123456789.0, "1.23456789012346E18"}, {9.99 * 1.25, "12.4875"},
        {1.23456789012345e-05, "0.0000123456789012345"}, {-1.23456789012345e-300, "-1.23456789012345E-300"},
        {1.23456789012345e300, "1.23456789012345E300"}, {-0.0, "0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(sql::floatLiteral(value), QByteArray(text)) << text;
}

TEST(SqlLiterals, ValuesOfEachKind)
{
    const auto quote = [](const QByteArray& s) { return '\'' + s + '\''; };
    struct Case { QVariant value; FieldKind kind; const char* text; };
    const Case cases[] = {
        {QVariant(), FieldKind::Integer, "NULL"},
        {QVariant(), FieldKind::String, "NULL"},
        {-42, FieldKind::Integer, "-42"},
        {QVariant(qlonglong(1) << 40), FieldKind::LargeInt, "1099511627776"},
        {QDateTime(QDate(2025, 12, 8), QTime(14, 3, 7, 999)), FieldKind::DateTime, "'2025-12-08 14:03:07'"},
        {QDateTime(QDate(100, 1, 1), QTime(0, 0)), FieldKind::DateTime, "'0000-00-00 00:00:00'"},
        {QDateTime(QDate(100, 1, 1), QTime(0, 0, 1)), FieldKind::DateTime, "'0100-01-01 00:00:01'"},
        {QDate(2024, 2, 29), FieldKind::Date, "'2024-02-29'"},
        {QString(), FieldKind::String, "''"},
        {QStringLiteral("Søm €"), FieldKind::Memo, "'S\xf8m \x80'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sql::literal(c.value, c.kind, quote), QByteArray(c.text)) << c.text;
}

TEST(SqlLiterals, Identifiers)
{
    const std::pair<const char*, const char*> cases[] = {
        {"product", "product"}, {"EAN", "EAN"}, {"a_b$1", "a_b$1"}, {"1abc", "`1abc`"},
        {"two words", "`two words`"}, {"_x", "`_x`"}, {"bøtte", "`bøtte`"}, {"a`b", "`a``b`"},
    };
    for (const auto& [name, text] : cases)
        EXPECT_EQ(sql::identifier(QString::fromUtf8(name)), QString::fromUtf8(text));
}

TEST_F(ServerTable, KeyFromTheColumnFlags)
{
    struct Case { const char* columns; QStringList key; };
    const Case cases[] = {
        {"id INT AUTO_INCREMENT PRIMARY KEY, a INT, b INT UNIQUE", {"id"}},
        {"a INT, b INT, c INT UNIQUE, PRIMARY KEY (b, a)", {"a", "b"}},
        {"a INT, b INT UNIQUE, c INT", {"b"}},
        {"a INT, b INT, c INT, KEY (c)", {"c"}},
        {"a INT, b INT, UNIQUE (a, b), KEY (b)", {"a", "b"}},
        {"a INT, b TEXT, c VARCHAR(5), d BLOB, e DOUBLE", {"a", "c", "e"}},
    };
    for (const Case& c : cases) {
        create(QString::fromLatin1(c.columns));
        SqlTable table(QStringLiteral("T"), connection);
        table.setTableName(name);
        table.open();
        QStringList key;
        for (const Field* f : table.keyFields())
            key << f->fieldName();
        EXPECT_EQ(key, c.key) << c.columns;
        table.close();
        admin.exec(QStringLiteral("DROP TABLE %1").arg(name));
    }
    name.clear();
}

TEST_F(ServerTable, KeyOfEveryPlainFieldAndNoKeyAtAll)
{
    create(QStringLiteral("a INT, b VARCHAR(5), c TEXT"), QStringLiteral("(1, NULL, 'x')"));
    SqlTable table(QStringLiteral("T"), connection);
    table.setTableName(name);
    table.open();
    table.edit();
    table.fieldByName(QStringLiteral("c"))->setAsString(QStringLiteral("y"));
    table.post();
    EXPECT_EQ(lastSent(), QStringLiteral("Query UPDATE %1\r\nSET\r\n  c = 'y'\r\nWHERE\r\n  a = 1 AND b IS NULL").arg(name));
    table.close();
    admin.exec(QStringLiteral("DROP TABLE %1").arg(name));

    create(QStringLiteral("c TEXT"), QStringLiteral("('x')"));
    SqlTable memoOnly(QStringLiteral("T"), connection);
    memoOnly.setTableName(name);
    memoOnly.open();
    EXPECT_EQ(errorOf([&] { memoOnly.deleteRecord(); }), QStringLiteral("T: Key fields not found"));
    EXPECT_EQ(memoOnly.recordCount(), 1);
}

TEST_F(ServerTable, ColumnTypesReadAsTheirKinds)
{
    admin.exec(QStringLiteral("SET SESSION sql_mode = ''"));
    create(QStringLiteral("b TINYINT(1), t TINYINT, s SMALLINT UNSIGNED, m MEDIUMINT, i INT, u INT UNSIGNED, "
                          "g BIGINT, bits BIT(8), f FLOAT, d DOUBLE, n DECIMAL(10,2), y YEAR, dt DATE, tm TIME, "
                          "dtm DATETIME, ts TIMESTAMP NULL, c CHAR(5), v VARCHAR(7), e ENUM('x','y'), st SET('p','q'), "
                          "tx TEXT, bl BLOB"),
           QStringLiteral("(1, -5, 65535, -8000000, -2147483648, 4294967295, 9007199254740993, b'101', 1.5, 2.25, "
                          "12.50, 2024, '0000-00-00', '13:14:15', '0000-00-00 00:00:00', NULL, 'ab', 'æøå', 'y', "
                          "'p,q', 'tekst', x'00FF')"));
    SqlTable table(QStringLiteral("T"), connection);
    table.setTableName(name);
    table.open();
    struct Case { const char* field; FieldKind kind; QVariant value; };
    const Case cases[] = {
        {"b", FieldKind::Boolean, true}, {"t", FieldKind::SmallInt, -5}, {"s", FieldKind::SmallInt, 65535},
        {"m", FieldKind::Integer, -8000000}, {"i", FieldKind::Integer, int(-2147483648LL)},
        {"u", FieldKind::Word, qlonglong(4294967295LL)}, {"g", FieldKind::LargeInt, qlonglong(9007199254740993LL)},
        {"bits", FieldKind::LargeInt, qlonglong(5)}, {"f", FieldKind::Float, 1.5}, {"d", FieldKind::Float, 2.25},
        {"n", FieldKind::Float, 12.5}, {"y", FieldKind::SmallInt, 2024}, {"dt", FieldKind::Date, QVariant()},
        {"tm", FieldKind::Time, QTime(13, 14, 15)}, {"dtm", FieldKind::DateTime, QVariant()},
        {"ts", FieldKind::DateTime, QVariant()}, {"c", FieldKind::String, QStringLiteral("ab")},
        {"v", FieldKind::String, QStringLiteral("æøå")}, {"e", FieldKind::String, QStringLiteral("y")},
        {"st", FieldKind::String, QStringLiteral("p,q")}, {"tx", FieldKind::Memo, QStringLiteral("tekst")},
        {"bl", FieldKind::Blob, QByteArray("\x00\xff", 2)},
    };
    for (const Case& c : cases) {
        const Field* f = table.fieldByName(QLatin1String(c.field));
        EXPECT_EQ(f->kind(), c.kind) << c.field;
        EXPECT_EQ(f->value(), c.value) << c.field;
    }
    EXPECT_EQ(table.fieldByName(QStringLiteral("c"))->size(), 5);
    EXPECT_EQ(table.fieldByName(QStringLiteral("v"))->size(), 7);
}

// A shop may widen a text column: what was read is written back whole after an edit,
// and a field wider than its column still cuts at the column.
TEST_F(ServerTable, StringFieldsTakeTheirColumnsWidth)
{
    const QString longText = QString(201, QLatin1Char('a')) + QLatin1Char('z');
    create(QStringLiteral("id INT AUTO_INCREMENT PRIMARY KEY, wide VARCHAR(255), narrow VARCHAR(20)"),
           QStringLiteral("(1, '%1', 'kort')").arg(longText));
    SqlTable table(QStringLiteral("T"), connection);
    table.setTableName(name);
    table.addField(QStringLiteral("id"), FieldKind::Integer);
    Field* wide = table.addField(QStringLiteral("wide"), FieldKind::String, 128);
    Field* narrow = table.addField(QStringLiteral("narrow"), FieldKind::String, 128);
    table.open();
    EXPECT_EQ(wide->size(), 255);
    EXPECT_EQ(narrow->size(), 20);
    EXPECT_EQ(wide->asString(), longText);

    // The user deletes the last character in a bound text box and saves.
    DataSource source;
    source.setDataSet(&table);
    QWidget window;
    auto* box = new DBEdit(&window);
    auto* elsewhere = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box);
    layout->addWidget(elsewhere);
    box->setDataSource(&source);
    box->setDataField(QStringLiteral("wide"));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->text(), longText);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Backspace);
    elsewhere->setFocus(Qt::TabFocusReason);
    narrow->setAsString(QString(30, QLatin1Char('b')));
    table.post();
    EXPECT_EQ(admin.column(QStringLiteral("SELECT CONCAT(LENGTH(wide), ' ', RIGHT(wide, 2), ' ', narrow) FROM %1").arg(name)),
              QStringList{QStringLiteral("201 aa ") + QString(20, QLatin1Char('b'))});
}

TEST_F(ServerTable, DefinedFieldsMustMeetCompatibleColumns)
{
    create(QStringLiteral("id INT, u INT UNSIGNED, flag TINYINT(1), txt VARCHAR(10), note TEXT"));
    struct Case { const char* field; FieldKind kind; QString error; };
    const Case cases[] = {
        {"missing", FieldKind::Integer, QStringLiteral("T: Field 'missing' not found")},
        {"u", FieldKind::Integer, QStringLiteral("T: Type mismatch for field 'u', expecting: Integer actual: LongWord")},
        {"flag", FieldKind::Integer, QStringLiteral("T: Type mismatch for field 'flag', expecting: Integer actual: Boolean")},
        {"txt", FieldKind::Memo, QStringLiteral("T: Type mismatch for field 'txt', expecting: Memo actual: String")},
        {"note", FieldKind::String, QStringLiteral("T: Type mismatch for field 'note', expecting: String actual: Memo")},
        {"id", FieldKind::Float, QStringLiteral("T: Type mismatch for field 'id', expecting: Float actual: Integer")},
        {"id", FieldKind::SmallInt, QString()},
        {"note", FieldKind::Blob, QString()},
    };
    for (const Case& c : cases) {
        SqlTable table(QStringLiteral("T"), connection);
        table.setTableName(name);
        table.addField(QLatin1String(c.field), c.kind, 10);
        EXPECT_EQ(errorOf([&] { table.open(); }), c.error.isEmpty() ? QStringLiteral("<no error>") : c.error) << c.field;
        EXPECT_EQ(table.isActive(), c.error.isEmpty());
    }
}

TEST(Connection, FailuresToOpen)
{
    ConnectionSettings closedPort = testdb::programSettings();
    closedPort.port = 1; // nobody listens there
    ConnectionSettings wrongPassword = testdb::programSettings();
    wrongPassword.password = QStringLiteral("Feil1234");
    ConnectionSettings noDatabase = testdb::adminSettings();
    noDatabase.database = QStringLiteral("finnesikke");

    struct Case { ConnectionSettings settings; QString text; };
    const Case cases[] = {
        {closedPort, QStringLiteral("Can't connect to MySQL server on '127.0.0.1' (10061)\n"
                                    "Socket error on connect. WSAGetLastError return 111($6F)")},
        {wrongPassword, QStringLiteral("\n#28000Access denied for user 'prisliste'@'127.0.0.1' (using password: YES)")},
        {noDatabase, QStringLiteral("\n#42000Unknown database 'finnesikke'")},
    };
    for (const Case& c : cases) {
        DbConnection connection;
        connection.setSettings(c.settings);
        EXPECT_EQ(errorOf([&] { connection.open(); }), c.text);
        EXPECT_FALSE(connection.isOpen());
    }
}
}
