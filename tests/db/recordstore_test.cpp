// The record store's block layout: only the fields that are not null take a slot, so every
// value must come back from the right place whatever the pattern of nulls before it.
#include "db/recordstore.h"
#include "tests/support/qstringprint.h"

#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>
#include <map>
#include <gtest/gtest.h>

namespace {

// 70 fields, more than one word of null bits, cycling through the kinds; two are dense.
constexpr int fieldCount = 70;
const FieldKind cycle[] = {FieldKind::Integer, FieldKind::String, FieldKind::Float,    FieldKind::DateTime,
                           FieldKind::Boolean, FieldKind::Memo,   FieldKind::LargeInt, FieldKind::Blob,
                           FieldKind::Date,    FieldKind::SmallInt};
const std::vector<int> denseFields = {2, 66};

FieldKind kindOf(int i) { return cycle[i % 10]; }

struct Layout {
    std::vector<FieldKind> kinds;
    std::vector<int> sizes;
    std::vector<bool> dense;
    Layout()
    {
        for (int i = 0; i < fieldCount; ++i) {
            kinds.push_back(kindOf(i));
            sizes.push_back(kindOf(i) == FieldKind::String ? 12 : 0);
            dense.push_back(std::find(denseFields.begin(), denseFields.end(), i) != denseFields.end());
        }
    }
};

QVariant sample(int i)
{
    switch (kindOf(i)) {
    case FieldKind::Integer: return QVariant(1000 + i);
    case FieldKind::String: return QVariant(QStringLiteral("tekst %1 æøå").arg(i));
    case FieldKind::Float: return QVariant(i + 0.25);
    case FieldKind::DateTime: return QVariant(QDateTime(QDate(2025, 6, 1), QTime(8, i % 60, 7)));
    case FieldKind::Boolean: return QVariant(i % 20 == 4);
    case FieldKind::Memo: return QVariant(QStringLiteral("Beskrivelse av vare %1.").arg(i));
    case FieldKind::LargeInt: return QVariant(qlonglong(1) << 40 | i);
    case FieldKind::Blob: return QVariant(QByteArray("\0\1bin", 5) + QByteArray::number(i));
    case FieldKind::Date: return QVariant(QDate(2024, 1, 1 + i % 28));
    default: return QVariant(-i);
    }
}

// The text the server would send for sample(i).
QByteArray serverText(int i)
{
    const QVariant v = sample(i);
    switch (kindOf(i)) {
    case FieldKind::DateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    case FieldKind::Date: return v.toDate().toString(Qt::ISODate).toLatin1();
    case FieldKind::Boolean: return v.toBool() ? "1" : "0";
    case FieldKind::Blob: return v.toByteArray();
    case FieldKind::String:
    case FieldKind::Memo: return v.toString().toLatin1();
    default: return v.toString().toLatin1();
    }
}

using Pattern = std::function<bool(int field)>; // true: null

struct PatternCase {
    const char* name;
    Pattern isNull;
};

const PatternCase patterns[] = {
    {"none null", [](int) { return false; }},
    {"all null", [](int) { return true; }},
    {"every other", [](int i) { return i % 2 == 0; }},
    {"only past the first word", [](int i) { return i < 64; }},
    {"only in the first word", [](int i) { return i >= 64; }},
    {"mostly null", [](int i) { return i % 7 != 3; }},
};

std::vector<QVariant> valuesFor(const Pattern& isNull)
{
    std::vector<QVariant> values(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        if (!isNull(i))
            values[size_t(i)] = sample(i);
    return values;
}

void expectRow(const RecordStore& store, int row, const std::vector<QVariant>& expected, const char* name)
{
    for (int i = 0; i < fieldCount; ++i) {
        const QVariant& want = expected[size_t(i)];
        SCOPED_TRACE(std::string(name) + ", field " + std::to_string(i));
        ASSERT_EQ(store.isNull(row, i), !want.isValid());
        if (want.isValid())
            EXPECT_EQ(store.value(row, i), want);
    }
}

// Appends a full row from the server, column i for field i: the sample's text, or
// `other` for the field `field`; returns every value as stored (Strings cut to 12).
std::vector<QVariant> appendFullRow(RecordStore& store, std::map<int, QByteArray> other)
{
    std::vector<QByteArray> texts(fieldCount);
    std::vector<const char*> columns(fieldCount);
    std::vector<unsigned long> lengths(fieldCount);
    std::vector<int> direct(fieldCount);
    for (int i = 0; i < fieldCount; ++i) {
        direct[size_t(i)] = i;
        texts[size_t(i)] = other.count(i) ? other[i] : serverText(i);
        columns[size_t(i)] = texts[size_t(i)].constData();
        lengths[size_t(i)] = static_cast<unsigned long>(texts[size_t(i)].size());
    }
    store.appendText(columns.data(), lengths.data(), direct.data());
    std::vector<QVariant> expected = valuesFor(patterns[0].isNull);
    for (int i = 0; i < fieldCount; ++i)
        if (kindOf(i) == FieldKind::String)
            expected[size_t(i)] = expected[size_t(i)].toString().left(12);
    return expected;
}

// A store with the 70-field layout.
struct RecordStoreTest : ::testing::Test {
    const Layout layout;
    RecordStore store;
    RecordStoreTest() { store.setLayout(layout.kinds, layout.sizes, layout.dense); }
};

TEST_F(RecordStoreTest, EveryValueComesBackWhateverTheNullsBeforeIt)
{
    for (const auto& c : patterns)
        store.insert(store.size(), valuesFor(c.isNull));
    for (int row = 0; row < store.size(); ++row)
        expectRow(store, row, valuesFor(patterns[row].isNull), patterns[row].name);
}

TEST_F(RecordStoreTest, RowsFromTheServerMatchStoredValuesAndABadNumberBecomesNull)
{
    std::vector<int> columnOf(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        columnOf[size_t(i)] = (i == 2 || i == 66) ? -1 : fieldCount - 1 - i; // dense ones have no column
    for (const auto& c : patterns) {
        std::vector<QByteArray> texts(fieldCount);
        std::vector<const char*> columns(fieldCount, nullptr);
        std::vector<unsigned long> lengths(fieldCount, 0);
        for (int i = 0; i < fieldCount; ++i) {
            const int col = columnOf[size_t(i)];
            if (col < 0 || c.isNull(i))
                continue;
            texts[size_t(col)] = serverText(i);
            columns[size_t(col)] = texts[size_t(col)].constData();
            lengths[size_t(col)] = static_cast<unsigned long>(texts[size_t(col)].size());
        }
        store.appendText(columns.data(), lengths.data(), columnOf.data());
    }
    for (int row = 0; row < store.size(); ++row) {
        std::vector<QVariant> expected = valuesFor(patterns[row].isNull);
        expected[2] = expected[66] = QVariant();
        for (int i = 0; i < fieldCount; ++i)
            if (kindOf(i) == FieldKind::String && expected[size_t(i)].isValid())
                expected[size_t(i)] = expected[size_t(i)].toString().left(12); // cut to the field's size
        expectRow(store, row, expected, patterns[row].name);
    }

    // A value that does not read is null, and the fields after it are still right.
    std::vector<QVariant> expected = appendFullRow(store, {{12, "x12"}, {23, "x12"}});
    expected[12] = expected[23] = QVariant(); // a Float and a DateTime
    expectRow(store, store.size() - 1, expected, "bad numbers");
}

TEST_F(RecordStoreTest, ARecordOf64KiBOrMoreKeepsEveryText)
{
    std::vector<QVariant> values = valuesFor(patterns[0].isNull);
    values[15] = QString(70000, QLatin1Char('m')) + QStringLiteral("slutt"); // a Memo
    values[47] = QByteArray(65536, 'b');                                     // a Blob
    store.insert(0, values);
    expectRow(store, 0, values, "inserted");

    // The same from the server, and one just under the limit next to it.
    for (int size : {70000, 60000}) {
        std::vector<QVariant> expected = appendFullRow(store, {{25, QByteArray(size, 'x')}});
        expected[25] = QString(size, QLatin1Char('x'));
        expectRow(store, store.size() - 1, expected, "from the server");
    }
}

TEST_F(RecordStoreTest, SettingOneFieldKeepsTheOthers)
{
    std::vector<QVariant> values = valuesFor(patterns[5].isNull);
    store.insert(0, values);
    struct Change {
        int field;
        QVariant value;
    };
    const Change changes[] = {
        {2, QVariant(99.5)},     // dense, set in place
        {66, QVariant()},        // dense, to null
        {0, QVariant(7)},        // sparse, null before: the record gains a slot
        {3, QVariant()},         // sparse, had a value: loses it
        {69, QVariant(-3)},      // the last field
    };
    for (const auto& change : changes) {
        store.setFixed(0, change.field, change.value);
        values[size_t(change.field)] = change.value;
        expectRow(store, 0, values, "after setFixed");
    }
}

TEST_F(RecordStoreTest, UpdatingSomeFieldsKeepsTheOthers)
{
    std::vector<QVariant> values = valuesFor(patterns[2].isNull); // every other field null
    store.insert(0, values);
    struct Update {
        const char* name;
        std::vector<std::pair<int, QVariant>> changes;
    };
    const Update updates[] = {
        {"numbers in place", {{3, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))}, {69, QVariant(12)}, {2, QVariant(1.5)}}},
        {"a null number gets a value", {{0, QVariant(5)}}},
        {"a number becomes null", {{69, QVariant()}}},
        {"a text grows and one past the first word shrinks", {{5, QString(300, QLatin1Char('t'))}, {65, QStringLiteral("k")}}},
        {"a text becomes null, a dense field too", {{5, QVariant()}, {66, QVariant()}}},
    };
    for (const auto& update : updates) {
        std::vector<int> changed;
        for (const auto& [field, value] : update.changes) {
            values[size_t(field)] = value;
            changed.push_back(field);
        }
        store.update(0, values, changed);
        expectRow(store, 0, values, update.name);
    }
}

TEST_F(RecordStoreTest, BytesAndFindRowReadTheRightSlot)
{
    auto* rng = QRandomGenerator::global();
    for (int row = 0; row < 200; ++row) {
        std::vector<QVariant> values(fieldCount);
        for (int i = 0; i < fieldCount; ++i)
            if (rng->bounded(3) != 0)
                values[size_t(i)] = sample(i);
        values[61] = QStringLiteral("rad %1").arg(row); // a String past the first word
        store.insert(row, values);
    }
    EXPECT_EQ(store.bytes(150, 61), QByteArrayView("rad 150"));
    EXPECT_EQ(store.findRow(61, 0, store.size(), [](int, QByteArrayView b) { return b == QByteArrayView("rad 123"); }), 123);
    for (int row = 0; row < store.size(); ++row)
        if (!store.isNull(row, 60))
            EXPECT_EQ(store.integerValue(row, 60), 1060);
}

}
