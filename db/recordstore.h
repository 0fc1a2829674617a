#pragma once
// The compact store behind a data set: one malloc'd block per record holding a null
// bitmap, a fixed slot per field (1, 4 or 8 bytes) and the variable-length values (text
// as Windows-1252 bytes, as the server sends it). A record costs about what its values
// need, and rows read from the server go straight in without an intermediate copy.

#include "db/fieldkind.h"

#include <QByteArrayView>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <vector>

class RecordStore {
public:
    RecordStore() = default;
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Sets the fields' kinds (and String sizes) and drops every record.
    void setLayout(const std::vector<FieldKind>& kinds, const std::vector<int>& sizes);
    void clear();
    void reserve(size_t rows) { rows_.reserve(rows); }

    int size() const { return int(rows_.size()); }
    bool isNull(int row, int field) const;
    // Typed as Field::value() documents; String/Memo as QString, Blob as QByteArray.
    QVariant value(int row, int field) const;
    double floatValue(int row, int field) const; // Float/Currency; null reads 0
    qint64 integerValue(int row, int field) const; // Boolean and integer kinds; null reads 0
    // The value's bytes as stored, without a copy: Windows-1252 text (String, Memo), the
    // Blob's bytes, else the fixed slot. Empty for null; valid until the row changes.
    QByteArrayView bytes(int row, int field) const;
    // Calls match(row, bytes(row, field)) for the rows in [first, last) in order until it
    // returns true; that row, else -1. Rows are read ahead, so a long walk waits less on
    // memory.
    int findRow(int field, int first, int last, const std::function<bool(int row, QByteArrayView bytes)>& match) const;

    // Whole records from values in field order (already of the field's kind).
    void insert(int row, const std::vector<QVariant>& values);
    // Sets the fields listed in `changed` to their values (values in field order, like
    // insert); the others keep what the row holds, copied as stored bytes.
    void update(int row, const std::vector<QVariant>& values, const std::vector<int>& changed);
    void remove(int row);
    // Sets one fixed-size field of a stored record (the calculated fields).
    void setFixed(int row, int field, const QVariant& value);

    // Appends a row of the text protocol: for each field, the column it reads from
    // (columnOf[field], -1 = none: null) among columns/lengths (nullptr column = NULL).
    // Numbers are parsed, zero dates read as null, text is cut to the String size.
    void appendText(const char* const* columns, const unsigned long* lengths, const int* columnOf);

private:
    struct Slot {
        FieldKind kind;
        uint32_t offset;
        int size;
    };
    char* encode(const std::vector<QVariant>& values) const;
    void writeFixed(char* block, int field, const QVariant& value) const;
    // Writes a non-null variable-length value at `at`; its length.
    uint32_t writeVariable(char* block, int field, const QVariant& value, uint32_t at) const;

    std::vector<Slot> slots_;
    uint32_t nullBytes_ = 0;
    uint32_t fixedEnd_ = 0;
    std::vector<char*> rows_;
};

// A date and time as the store holds it: Julian day * 86400000 + milliseconds of the day.
qint64 packDateTime(const QDate& date, const QTime& time);
