// The client-side data set on its own (in memory): states, pending records, rules and
// the order of its notifications.
#include "common/errors.h"
#include "db/dataset.h"
#include "tests/support/qstringprint.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

struct Recorder : DataSetListener {
    QStringList events;
    void stateChanged(DataSet& ds) override
    {
        static const char* names[] = {"inactive", "browse", "edit", "insert"};
        events << QStringLiteral("state:%1").arg(QLatin1String(names[int(ds.state())]));
    }
    void dataChanged(DataSet&, const Field* f) override
    {
        events << (f ? QStringLiteral("data:") + f->fieldName() : QStringLiteral("data"));
    }
    void updateRecord(DataSet&) override { events << QStringLiteral("update"); }
    void rowInserted(DataSet&, int row) override { events << QStringLiteral("row+%1").arg(row); }
    void rowRemoved(DataSet&, int row) override { events << QStringLiteral("row-%1").arg(row); }
    QString take()
    {
        const QString s = events.join(QLatin1Char(' '));
        events.clear();
        return s;
    }
};

// A small in-memory table: name, price, its out-price and a memo.
struct Table : DataSet {
    Field* name;
    Field* price;
    Field* qty;
    Field* note;
    Field* outprice;
    int writes = 0;
    Table() : DataSet(QStringLiteral("T"))
    {
        name = addField(QStringLiteral("name"), FieldKind::String, 5);
        price = addField(QStringLiteral("price"), FieldKind::Float);
        qty = addField(QStringLiteral("qty"), FieldKind::Integer);
        note = addField(QStringLiteral("note"), FieldKind::Memo);
        outprice = addCalculatedField(QStringLiteral("outprice"), FieldKind::Currency);
        onCalcFields = [this](DataSet&) { outprice->setAsFloat(price->asFloat() * 1.25); };
    }
    void fill(int n)
    {
        open();
        for (int i = 0; i < n; ++i)
            appendRecord({QStringLiteral("r%1").arg(i), 10.0 * (i + 1), i});
        first();
    }
    void writeInsert() override { ++writes; }
    void writeUpdate() override { ++writes; }
    void writeDelete(int) override { ++writes; }
};

TEST(DataSet, CalculatedFieldForEveryRowAndAfterEachWrite)
{
    Table t;
    t.fill(3);
    EXPECT_DOUBLE_EQ(t.outprice->valueAt(2).toDouble(), 37.5);
    EXPECT_EQ(t.outprice->displayTextAt(0), QStringLiteral("kr 12,50"));
    t.edit();
    t.price->setAsFloat(9.99);
    EXPECT_DOUBLE_EQ(t.outprice->asFloat(), 9.99 * 1.25); // unrounded
    t.price->clear();
    EXPECT_EQ(t.outprice->asFloat(), 0);
    // Edit texts keep 15 digits; an out-price that overflows keeps its sign.
    t.price->setAsFloat(1.23456789012345e-05);
    EXPECT_EQ(t.price->editText(), QStringLiteral("0,0000123456789012345"));
    t.price->setAsFloat(-1.7e308);
    EXPECT_EQ(t.price->editText(), QStringLiteral("-1,7E308"));
    EXPECT_EQ(t.outprice->displayText(), QStringLiteral("kr -INF"));
}

TEST(DataSet, NotificationOrderOfTheOperations)
{
    Table t;
    t.fill(2);
    Recorder r;
    t.addListener(&r);
    t.onNewRecord = [&](DataSet&) { t.qty->setAsInteger(7); t.price->setAsFloat(2); };

    t.insert();
    EXPECT_EQ(r.take(), QStringLiteral("row+0 state:insert data:qty data:price data"));
    EXPECT_FALSE(t.isModified());
    EXPECT_DOUBLE_EQ(t.outprice->asFloat(), 2.5);

    t.name->setAsString(QStringLiteral("ny"));
    EXPECT_EQ(r.take(), QStringLiteral("data:name"));
    t.post();
    EXPECT_EQ(r.take(), QStringLiteral("update state:browse data"));
    EXPECT_EQ(t.recordCount(), 3);

    t.edit();
    EXPECT_EQ(r.take(), QStringLiteral("state:edit data"));
    t.edit();
    EXPECT_EQ(r.take(), QString());
    t.cancel();
    EXPECT_EQ(r.take(), QStringLiteral("state:browse data"));
    t.cancel();
    EXPECT_EQ(r.take(), QString());

    t.edit();
    r.take();
    t.deleteRecord();
    EXPECT_EQ(r.take(), QStringLiteral("update row-0 state:browse data"));
    t.deleteRecord();
    EXPECT_EQ(r.take(), QStringLiteral("update row-0 data"));
    t.removeListener(&r);
}

TEST(DataSet, MovesPostAModifiedRecordAndCancelAnUnmodifiedOne)
{
    Table t;
    t.fill(3);
    t.next(); // row 1
    t.insert(); // unmodified new record at row 1
    EXPECT_EQ(t.recordCount(), 4);
    t.next();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.name->asString(), QStringLiteral("r2"));
    EXPECT_EQ(t.writes, 0);

    t.prior();
    t.edit();
    t.price->setAsFloat(99);
    t.last();
    EXPECT_EQ(t.writes, 1);
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_DOUBLE_EQ(t.price->valueAt(1).toDouble(), 99);
    EXPECT_DOUBLE_EQ(t.outprice->valueAt(1).toDouble(), 123.75);

    t.moveTo(0);
    t.insert();
    t.moveTo(2); // row 2 showed r1; the cancelled new record's rows move up by one
    EXPECT_EQ(t.name->asString(), QStringLiteral("r1"));
}

TEST(DataSet, PostStoresWhatWasSetAndKeepsEveryOtherValue)
{
    Table t;
    t.fill(3);
    const auto stored = [&] {
        QList<QVariantList> rows;
        for (int r = 0; r < t.recordCount(); ++r) {
            QVariantList row;
            for (const auto& f : t.fields())
                row << f->valueAt(r);
            rows << row;
        }
        return rows;
    };
    // One after another on the same record: numbers, texts growing, shrinking, emptied.
    const struct {
        const char* what;
        std::vector<std::pair<Field*, QVariant>> values;
    } steps[] = {
        {"a number alone", {{t.price, 99.0}}},
        {"a null memo gets text, a number becomes null", {{t.note, QString(300, QLatin1Char('n'))}, {t.qty, QVariant()}}},
        {"texts shorter and longer", {{t.name, QStringLiteral("ab")}, {t.note, QStringLiteral("kort")}, {t.qty, 3}}},
        {"a text emptied, a memo null", {{t.name, QString()}, {t.note, QVariant()}}},
    };
    for (const auto& step : steps) {
        QList<QVariantList> expected = stored();
        t.moveTo(1);
        t.edit();
        for (const auto& [field, value] : step.values) {
            field->setValue(value);
            expected[1][field->index()] = field->value();
        }
        expected[1][t.outprice->index()] = t.outprice->value();
        t.post();
        t.last();
        t.moveTo(1);
        EXPECT_EQ(stored(), expected) << step.what;
        EXPECT_EQ(t.price->oldValue(), t.price->value()) << step.what;
    }
}

TEST(DataSet, EditOnAnEmptyTableInserts)
{
    Table t;
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), DataSetState::Insert);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(DataSet, DeleteRules)
{
    Table t;
    t.open();
    try {
        t.deleteRecord();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("T: Cannot perform this operation on an empty dataset"));
    }
    t.appendRecord({QStringLiteral("a")});
    t.appendRecord({QStringLiteral("b")});
    int asked = 0;
    t.beforeDelete = [&](DataSet&) { ++asked; throw SilentAbort(); };
    t.edit();
    t.name->setAsString(QStringLiteral("x"));
    EXPECT_THROW(t.deleteRecord(), SilentAbort);
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_EQ(t.name->asString(), QStringLiteral("x"));
    EXPECT_EQ(t.recordCount(), 2);
    t.cancel();

    t.insert();
    t.deleteRecord(); // discards the new record without asking
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.writes, 0);

    t.beforeDelete = nullptr;
    t.last();
    t.deleteRecord();
    EXPECT_EQ(t.name->asString(), QStringLiteral("a")); // the neighbour becomes current
}

TEST(DataSet, FailedWriteKeepsStateAndValues)
{
    struct Failing : Table {
        void writeUpdate() override { throw Error(QStringLiteral("refused")); }
    } t;
    t.fill(1);
    t.edit();
    t.price->setAsFloat(5);
    EXPECT_THROW(t.post(), Error);
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.price->asFloat(), 5);
    EXPECT_DOUBLE_EQ(t.price->oldValue().toDouble(), 10);
    t.cancel();
    EXPECT_DOUBLE_EQ(t.price->asFloat(), 10);
}

TEST(DataSet, WritingOutsideEditFails)
{
    Table t;
    t.fill(1);
    try {
        t.price->setAsFloat(1);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("T: Dataset not in edit or insert mode"));
    }
}

TEST(DataSet, TextConversion)
{
    Table t;
    t.fill(1);
    t.edit();
    struct Case { Field* field; QString text; QVariant expected; QString error; };
    const Case cases[] = {
        {t.price, QStringLiteral("12,5"), 12.5, {}},
        {t.price, QStringLiteral("1e"), 12.5, QStringLiteral("'1e' is not a valid floating point value for field 'price'")},
        {t.price, QString(), QVariant(), {}},
        {t.qty, QStringLiteral("-42"), -42, {}},
        {t.qty, QStringLiteral("4.5"), -42, QStringLiteral("'4.5' is not a valid integer value for field 'qty'")},
        {t.qty, QStringLiteral("99999999999"), -42, QStringLiteral("'99999999999' is not a valid integer value for field 'qty'")},
        {t.qty, QString(), QVariant(), {}},
        {t.name, QString(), QString(), {}},
        {t.name, QStringLiteral("abcdefgh"), QStringLiteral("abcde"), {}},
        // Kept as given (Post refuses what Windows-1252 cannot hold), cut to the size
        // without splitting a character beyond U+FFFF.
        {t.name, QStringLiteral("Ø€→x"), QStringLiteral("Ø€→x"), {}},
        {t.name, QStringLiteral("abcd\U0001F337"), QStringLiteral("abcd"), {}},
        {t.note, QStringLiteral("a\u4e2db"), QStringLiteral("a\u4e2db"), {}},
    };
    for (const Case& c : cases) {
        if (c.error.isEmpty())
            c.field->setAsString(c.text);
        else {
            try {
                c.field->setAsString(c.text);
                ADD_FAILURE() << c.text.toStdString();
            } catch (const Error& e) {
                EXPECT_EQ(e.message(), c.error);
            }
        }
        EXPECT_EQ(c.field->value(), c.expected) << c.text.toStdString();
    }
    EXPECT_FALSE(t.name->isNull()); // an empty text stays a text
}
}

TEST(DataSet, PostRefusesTextThatWindows1252CannotHoldAndKeepsTheEdit)
{
    struct Case {
        const char* what;
        bool insert;
        QString name;
        QString note;
        QString error; // empty: posted
    } cases[] = {
        {"two characters, each named once", false, QStringLiteral("RŘőŘ"), {},
         QStringLiteral("Teksten kan ikke lagres: tegnene «Ř ő» finnes ikke i databasens tegnsett (Navn).")},
        {"a flower beyond U+FFFF is one character", false, {}, QStringLiteral("fin \U0001F337!"),
         QStringLiteral("Teksten kan ikke lagres: tegnene «\U0001F337» finnes ikke i databasens tegnsett (note).")},
        {"the first field in the record's order is named", true, QStringLiteral("Ω"), QStringLiteral("\u4e2d"),
         QStringLiteral("Teksten kan ikke lagres: tegnene «Ω» finnes ikke i databasens tegnsett (Navn).")},
        {"Windows-1252 holds the dash, the euro and the Nordic letters", false, QStringLiteral("Æ—€ø"),
         QStringLiteral("“Š”"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table t;
        t.name->setDisplayLabel(QStringLiteral("Navn"));
        t.fill(2);
        if (c.insert)
            t.insert();
        else
            t.edit();
        if (!c.name.isNull())
            t.name->setAsString(c.name);
        if (!c.note.isNull())
            t.note->setAsString(c.note);
        if (c.error.isEmpty()) {
            t.post();
            EXPECT_EQ(t.writes, 1);
            EXPECT_EQ(t.name->asString(), c.name);
            EXPECT_EQ(t.note->asString(), c.note);
            continue;
        }
        try {
            t.post();
            ADD_FAILURE() << "posted";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), c.error);
        }
        EXPECT_EQ(t.writes, 0);
        EXPECT_EQ(t.state(), c.insert ? DataSetState::Insert : DataSetState::Edit);
        if (!c.name.isNull())
            EXPECT_EQ(t.name->asString(), c.name);
        if (!c.note.isNull())
            EXPECT_EQ(t.note->asString(), c.note);
        // A move posts too, so it is refused the same way and stays.
        const int row = t.currentRow();
        EXPECT_THROW(t.next(), Error);
        EXPECT_EQ(t.currentRow(), row);
        // Corrected, it is saved.
        t.name->setAsString(QStringLiteral("Roser"));
        t.note->setAsString(QStringLiteral("Røde"));
        t.post();
        EXPECT_EQ(t.writes, 1);
        EXPECT_EQ(t.state(), DataSetState::Browse);
    }
}
