#pragma once
// The compact store behind a data set: one block per record holding a flag byte, a null
// bitmap, a slot for each field that is not null (1, 4 or 8 bytes; text: its place and
// length, 4 bytes in a block under 64 KiB, else 8) and the variable-length values (text
// as Windows-1252 bytes, as the server sends it). Most of a product's fields are null, so
// a record costs about what its values need; rows read from the server go straight in,
// carved from large chunks. A null field has no slot: a slot's place follows from the
// null bits of the fields before it. Dense fields (the calculated ones, set after the
// record is stored) keep a slot at a fixed place.

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

    // Sets the fields' kinds (and String sizes) and drops every record; dense[i]: field i
    // always has its slot (fixed kinds only).
    void setLayout(const std::vector<FieldKind>& kinds, const std::vector<int>& sizes,
                   const std::vector<bool>& dense = {});
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
    void replace(int row, const std::vector<QVariant>& values);
    // Sets the fields listed in `changed` to their values (values of every field, in field
    // order, like insert): in place when only fixed-size values change and none becomes or
    // stops being null, else the record is made anew.
    void update(int row, const std::vector<QVariant>& values, const std::vector<int>& changed);
    void remove(int row);
    // Sets one fixed-size field of a stored record (the calculated fields: dense ones are
    // set in place, others re-encode the record).
    void setFixed(int row, int field, const QVariant& value);

    // Appends a row of the text protocol: for each field, the column it reads from
    // (columnOf[field], -1 = none: null) among columns/lengths (nullptr column = NULL).
    // Numbers are parsed, zero dates read as null, text is cut to the String size.
    void appendText(const char* const* columns, const unsigned long* lengths, const int* columnOf);

private:
    struct Slot {
        FieldKind kind;
        uint32_t offset; // dense fields only
        int size;
        bool dense;
    };
    // Per 64 fields: the sparse fields whose slot takes 1, 4 and 8 bytes.
    struct SlotMasks {
        uint64_t one = 0, four = 0, eight = 0, text = 0;
    };
    // A new block of `fixed` bytes of slots (dense and sparse, text slots narrow) for
    // `texts` text values of `textBytes` in all; its flag byte and null bits are set up.
    struct NewBlock {
        char* block;
        uint32_t sparseStart, textStart;
    };
    NewBlock newBlock(size_t sparse, size_t texts, size_t textBytes, bool fromChunk);
    uint32_t slotOffset(const char* block, int field) const;
    void release(char* block);
    char* encode(const std::vector<QVariant>& values);
    std::vector<QVariant> decode(int row) const;

    std::vector<Slot> slots_;
    std::vector<SlotMasks> masks_;
    uint32_t nullBytes_ = 0;
    uint32_t denseEnd_ = 0; // the flag byte, the null bitmap and the dense slots
    std::vector<char*> rows_;
    std::vector<char*> chunks_;
    char* chunkNext_ = nullptr;
    size_t chunkLeft_ = 0;
};

// A date and time as the store holds it: Julian day * 86400000 + milliseconds of the day.
qint64 packDateTime(const QDate& date, const QTime& time);
