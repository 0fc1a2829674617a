#include "db/sqltable.h"

#include "db/columntypes.h"
#include "db/recordstore.h"

#include <mysql.h>

#include <memory>

SqlTable::SqlTable(QString name, DbConnection& connection) : DataSet(std::move(name)), connection_(connection)
{
}

QByteArray SqlTable::selectStatement() const
{
    return sql::selectStatement(table_, order_);
}

QByteArray SqlTable::literalOf(const Field& field, const QVariant& value) const
{
    return sql::literal(value, field.kind(), [this](const QByteArray& text) { return connection_.quoted(text); });
}

void SqlTable::readRecords()
{
    connection_.open();
    std::unique_ptr<MYSQL_RES, void (*)(MYSQL_RES*)> result(connection_.query(selectStatement()), mysql_free_result);
    std::vector<int> columnOf;
    bindFields(result.get(), columnOf);
    resetLayout();
    while (MYSQL_ROW row = mysql_fetch_row(result.get())) {
        store().appendText(row, mysql_fetch_lengths(result.get()), columnOf.data());
        calculateStoredRow(store().size() - 1);
    }
    connection_.checkRowError();
}

void SqlTable::bindFields(MYSQL_RES* result, std::vector<int>& columnOf)
{
    const int count = int(mysql_num_fields(result));
    const MYSQL_FIELD* columns = mysql_fetch_fields(result);
    const auto columnName = [&](int c) { return QString::fromLatin1(columns[c].name); };

    if (fieldCount() == 0)
        for (int c = 0; c < count; ++c)
            addField(columnName(c), columnKind(columns[c]), columnKind(columns[c]) == FieldKind::String ? columnWidth(columns[c]) : 0);

    columnOf.assign(size_t(fieldCount()), -1);
    std::vector<unsigned> flags(size_t(fieldCount()), 0);
    for (const auto& f : fields()) {
        if (f->isCalculated())
            continue;
        int found = -1;
        for (int c = 0; c < count && found < 0; ++c)
            if (columnName(c).compare(f->fieldName(), Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            fail(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        const FieldKind actual = columnKind(columns[found]);
        if (!fieldKindsCompatible(f->kind(), actual))
            fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(f->fieldName(), fieldKindName(f->kind()), fieldKindName(actual)));
        if (f->kind() == FieldKind::String && actual == FieldKind::String)
            setFieldSize(*f, boundStringWidth(f->size(), columnWidth(columns[found])));
        columnOf[size_t(f->index())] = found;
        flags[size_t(f->index())] = columns[found].flags;
    }

    // The key: see the class comment.
    key_.clear();
    autoIncrement_ = nullptr;
    const unsigned anyKey = columnflag::primaryKey | columnflag::uniqueKey | columnflag::multipleKey | columnflag::partOfKey;
    bool primary = false;
    for (const auto& f : fields()) {
        const unsigned fl = flags[size_t(f->index())];
        if (fl & columnflag::autoIncrement && !autoIncrement_)
            autoIncrement_ = f.get();
        if (fl & anyKey)
            key_.push_back(f.get());
        primary = primary || (fl & columnflag::primaryKey);
    }
    if (primary)
        std::erase_if(key_, [&](const Field* f) { return !(flags[size_t(f->index())] & columnflag::primaryKey); });
    if (key_.empty() && autoIncrement_)
        key_.push_back(autoIncrement_);
    if (key_.empty())
        for (const auto& f : fields())
            if (!f->isCalculated() && f->kind() != FieldKind::Memo && f->kind() != FieldKind::Blob)
                key_.push_back(f.get());
}

std::vector<sql::Assignment> SqlTable::keyCondition(int row) const
{
    if (key_.empty())
        fail(QStringLiteral("Key fields not found"));
    std::vector<sql::Assignment> key;
    for (const Field* f : key_)
        key.push_back({f->fieldName(), literalOf(*f, storedValue(row, *f))});
    return key;
}

void SqlTable::expectOneRow(quint64 affected) const
{
    if (affected != 1)
        fail(QStringLiteral("Update failed. Found %1 records").arg(affected));
}

void SqlTable::writeInsert()
{
    std::vector<sql::Assignment> values;
    for (const auto& f : fields())
        if (!f->isCalculated() && !f->isNull())
            values.push_back({f->fieldName(), literalOf(*f, f->value())});
    expectOneRow(connection_.execute(sql::insertStatement(table_, values)));
    if (autoIncrement_) {
        const quint64 id = connection_.lastInsertId();
        if (id != 0)
            storeAssigned(*autoIncrement_, QVariant(qlonglong(id)));
    }
}

namespace {
bool sameValue(const QVariant& a, const QVariant& b)
{
    const bool aNull = !a.isValid() || a.isNull(), bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    return a == b;
}
}

void SqlTable::writeUpdate()
{
    std::vector<sql::Assignment> changes;
    const std::vector<bool>& written = writtenFields();
    for (size_t i = 0; i < written.size(); ++i) {
        // A field nobody set since Edit still holds the value it was read with.
        if (!written[i])
            continue;
        const Field* f = fields()[i].get();
        if (f->isCalculated())
            continue;
        const QVariant now = f->value();
        // A memo written counts as changed even when its text is the same.
        const bool changed = f->kind() == FieldKind::Memo || !sameValue(now, f->oldValue());
        if (changed)
            changes.push_back({f->fieldName(), literalOf(*f, now)});
    }
    if (changes.empty())
        return;
    expectOneRow(connection_.execute(sql::updateStatement(table_, changes, keyCondition(currentRow()))));
}

void SqlTable::writeDelete(int row)
{
    expectOneRow(connection_.execute(sql::deleteStatement(table_, keyCondition(row))));
}
