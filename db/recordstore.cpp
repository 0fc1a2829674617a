#include "db/recordstore.h"

#include "db/servertext.h"
#include "db/win1252.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr qint64 msPerDay = 86400000;

// The flag byte at the start of a block.
constexpr char wideText = 1;  // text slots of 8 bytes (the block is 64 KiB or more)
constexpr char inChunk = 2;   // carved from a chunk: not freed on its own
constexpr uint32_t bitsAt = 1; // the null bitmap follows the flag byte

constexpr size_t chunkSize = size_t(1) << 20;

uint32_t slotSize(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Boolean: return 1;
    case FieldKind::SmallInt:
    case FieldKind::Integer: return 4;
    default: return 8;
    }
}

template <class T>
T load(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void save(char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

bool nullBit(const char* block, size_t field)
{
    return (block[bitsAt + (field >> 3)] >> (field & 7)) & 1;
}

void setNullBit(char* block, size_t field, bool null)
{
    char& byte = block[bitsAt + (field >> 3)];
    byte = null ? char(byte | (1 << (field & 7))) : char(byte & ~(1 << (field & 7)));
}

// Bits 64 * word ... 64 * word + 63 of the null bitmap (1 = null).
uint64_t nullWord(const char* block, uint32_t nullBytes, int word)
{
    uint64_t v = 0;
    std::memcpy(&v, block + bitsAt + 8 * word, std::min<uint32_t>(8, nullBytes - uint32_t(8 * word)));
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    return v;
}

uint32_t textSlotSize(const char* block)
{
    return (block[0] & wideText) ? 8 : 4;
}

QByteArrayView textAt(const char* block, const char* slot)
{
    if (block[0] & wideText)
        return QByteArrayView(block + load<uint32_t>(slot), qsizetype(load<uint32_t>(slot + 4)));
    return QByteArrayView(block + load<uint16_t>(slot), qsizetype(load<uint16_t>(slot + 2)));
}

void setText(char* block, char* slot, uint32_t offset, uint32_t length)
{
    if (block[0] & wideText) {
        save<uint32_t>(slot, offset);
        save<uint32_t>(slot + 4, length);
    } else {
        save<uint16_t>(slot, uint16_t(offset));
        save<uint16_t>(slot + 2, uint16_t(length));
    }
}

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// A fixed-size value into its slot.
void writeValue(FieldKind kind, char* p, const QVariant& value)
{
    switch (kind) {
    case FieldKind::Boolean: *p = value.toBool() ? 1 : 0; break;
    case FieldKind::SmallInt:
    case FieldKind::Integer: save<qint32>(p, value.toInt()); break;
    case FieldKind::Word:
    case FieldKind::LargeInt: save<qint64>(p, value.toLongLong()); break;
    case FieldKind::Float:
    case FieldKind::Currency: save<double>(p, value.toDouble()); break;
    case FieldKind::Date: save<qint64>(p, packDateTime(value.toDate(), QTime())); break;
    case FieldKind::Time: save<qint64>(p, value.toTime().msecsSinceStartOfDay()); break;
    case FieldKind::DateTime: {
        const QDateTime dt = value.toDateTime();
        save<qint64>(p, packDateTime(dt.date(), dt.time()));
        break;
    }
    default: break;
    }
}
}

qint64 packDateTime(const QDate& date, const QTime& time)
{
    return date.toJulianDay() * msPerDay + (time.isValid() ? time.msecsSinceStartOfDay() : 0);
}

RecordStore::~RecordStore()
{
    clear();
}

void RecordStore::setLayout(const std::vector<FieldKind>& kinds, const std::vector<int>& sizes, const std::vector<bool>& dense)
{
    clear();
    slots_.clear();
    masks_.assign((kinds.size() + 63) / 64, SlotMasks());
    nullBytes_ = uint32_t((kinds.size() + 7) / 8);
    uint32_t offset = bitsAt + nullBytes_;
    for (size_t i = 0; i < kinds.size(); ++i) {
        const bool fixedPlace = i < dense.size() && dense[i] && !isVariableKind(kinds[i]);
        slots_.push_back({kinds[i], fixedPlace ? offset : 0, i < sizes.size() ? sizes[i] : 0, fixedPlace});
        if (fixedPlace) {
            offset += slotSize(kinds[i]);
            continue;
        }
        SlotMasks& m = masks_[i / 64];
        const uint64_t bit = uint64_t(1) << (i % 64);
        if (isVariableKind(kinds[i]))
            m.text |= bit;
        else
            (slotSize(kinds[i]) == 1 ? m.one : slotSize(kinds[i]) == 4 ? m.four : m.eight) |= bit;
    }
    denseEnd_ = offset;
}

void RecordStore::clear()
{
    for (char* r : rows_)
        release(r);
    rows_.clear();
    for (char* c : chunks_)
        std::free(c);
    chunks_.clear();
    chunkNext_ = nullptr;
    chunkLeft_ = 0;
}

RecordStore::NewBlock RecordStore::newBlock(size_t sparse, size_t texts, size_t textBytes, bool fromChunk)
{
    size_t size = denseEnd_ + sparse + 4 * texts + textBytes;
    const bool wide = size > 0xFFFF;
    if (wide)
        size += 4 * texts;
    char* block;
    if (fromChunk && size <= chunkSize / 16) {
        if (chunkLeft_ < size) {
            chunkNext_ = static_cast<char*>(std::malloc(chunkSize));
            if (!chunkNext_)
                throw std::bad_alloc();
            chunks_.push_back(chunkNext_);
            chunkLeft_ = chunkSize;
        }
        block = chunkNext_;
        chunkNext_ += size;
        chunkLeft_ -= size;
        block[0] = inChunk;
    } else {
        block = static_cast<char*>(std::malloc(size));
        if (!block)
            throw std::bad_alloc();
        block[0] = 0;
    }
    if (wide)
        block[0] |= wideText;
    std::memset(block + 1, 0, denseEnd_ - 1);
    const uint32_t sparseStart = denseEnd_;
    return {block, sparseStart, uint32_t(sparseStart + sparse + texts * textSlotSize(block))};
}

void RecordStore::release(char* block)
{
    if (!(block[0] & inChunk))
        std::free(block);
}

uint32_t RecordStore::slotOffset(const char* block, int field) const
{
    const Slot& s = slots_[size_t(field)];
    if (s.dense)
        return s.offset;
    uint32_t offset = denseEnd_;
    const uint32_t text = textSlotSize(block);
    const int last = field / 64;
    for (int w = 0; w <= last; ++w) {
        uint64_t present = ~nullWord(block, nullBytes_, w);
        if (w == last)
            present &= (uint64_t(1) << (field % 64)) - 1;
        const SlotMasks& m = masks_[size_t(w)];
        offset += uint32_t(std::popcount(present & m.one) + 4 * std::popcount(present & m.four)
                           + 8 * std::popcount(present & m.eight))
                  + text * uint32_t(std::popcount(present & m.text));
    }
    return offset;
}

bool RecordStore::isNull(int row, int field) const
{
    return nullBit(rows_[size_t(row)], size_t(field));
}

QVariant RecordStore::value(int row, int field) const
{
    if (isNull(row, field))
        return {};
    const char* block = rows_[size_t(row)];
    const char* p = block + slotOffset(block, field);
    switch (slots_[size_t(field)].kind) {
    case FieldKind::Boolean: return QVariant(*p != 0);
    case FieldKind::SmallInt:
    case FieldKind::Integer: return QVariant(load<qint32>(p));
    case FieldKind::Word:
    case FieldKind::LargeInt: return QVariant(qlonglong(load<qint64>(p)));
    case FieldKind::Float:
    case FieldKind::Currency: return QVariant(load<double>(p));
    case FieldKind::Date: return QVariant(QDate::fromJulianDay(load<qint64>(p) / msPerDay));
    case FieldKind::Time: return QVariant(QTime::fromMSecsSinceStartOfDay(int(load<qint64>(p) % msPerDay)));
    case FieldKind::DateTime: {
        const qint64 v = load<qint64>(p);
        return QVariant(QDateTime(QDate::fromJulianDay(v / msPerDay), QTime::fromMSecsSinceStartOfDay(int(v % msPerDay))));
    }
    case FieldKind::String:
    case FieldKind::Memo: {
        const QByteArrayView text = textAt(block, p);
        return QVariant(fromWin1252(text.data(), int(text.size())));
    }
    case FieldKind::Blob: return QVariant(textAt(block, p).toByteArray());
    }
    return {};
}

double RecordStore::floatValue(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    const char* block = rows_[size_t(row)];
    return load<double>(block + slotOffset(block, field));
}

qint64 RecordStore::integerValue(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    const char* block = rows_[size_t(row)];
    const char* p = block + slotOffset(block, field);
    switch (slotSize(slots_[size_t(field)].kind)) {
    case 1: return *p;
    case 4: return load<qint32>(p);
    default: return load<qint64>(p);
    }
}

QByteArrayView RecordStore::bytes(int row, int field) const
{
    if (isNull(row, field))
        return {};
    const char* block = rows_[size_t(row)];
    const FieldKind kind = slots_[size_t(field)].kind;
    const char* p = block + slotOffset(block, field);
    if (isVariableKind(kind))
        return textAt(block, p);
    return QByteArrayView(p, qsizetype(slotSize(kind)));
}

int RecordStore::findRow(int field, int first, int last, const std::function<bool(int row, QByteArrayView bytes)>& match) const
{
    // Fetch a block some rows ahead and, once that has arrived, the text its slot points
    // to, so the misses overlap.
    constexpr int blockAhead = 16, textAhead = 4;
    const bool variable = isVariableKind(slots_[size_t(field)].kind);
    for (int row = first; row < last; ++row) {
#if defined(__GNUC__)
        if (row + blockAhead < last)
            __builtin_prefetch(rows_[size_t(row + blockAhead)]);
        if (variable && row + textAhead < last && !isNull(row + textAhead, field)) {
            const char* block = rows_[size_t(row + textAhead)];
            __builtin_prefetch(textAt(block, block + slotOffset(block, field)).data());
        }
#endif
        if (match(row, bytes(row, field)))
            return row;
    }
    return -1;
}

char* RecordStore::encode(const std::vector<QVariant>& values)
{
    // Text takes at most one byte per UTF-16 unit; the block is sized for that.
    const size_t n = slots_.size();
    const auto valueOf = [&](size_t i) -> const QVariant& {
        static const QVariant none;
        return i < values.size() ? values[i] : none;
    };
    size_t sparse = 0, texts = 0, textBytes = 0;
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = valueOf(i);
        if (isNullValue(v))
            continue;
        if (isVariableKind(slots_[i].kind)) {
            ++texts;
            textBytes += size_t(slots_[i].kind == FieldKind::Blob ? v.toByteArray().size() : v.toString().size());
        } else if (!slots_[i].dense) {
            sparse += slotSize(slots_[i].kind);
        }
    }
    const NewBlock made = newBlock(sparse, texts, textBytes, false);
    char* block = made.block;
    uint32_t cursor = made.sparseStart;
    uint32_t text = made.textStart;
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = valueOf(i);
        const Slot& slot = slots_[i];
        if (isNullValue(v)) {
            setNullBit(block, i, true);
            continue;
        }
        char* p = block + (slot.dense ? slot.offset : cursor);
        if (!isVariableKind(slot.kind)) {
            writeValue(slot.kind, p, v);
            if (!slot.dense)
                cursor += slotSize(slot.kind);
            continue;
        }
        cursor += textSlotSize(block);
        uint32_t length;
        if (slot.kind == FieldKind::Blob) {
            const QByteArray bytes = v.toByteArray();
            std::memcpy(block + text, bytes.constData(), size_t(bytes.size()));
            length = uint32_t(bytes.size());
        } else {
            length = uint32_t(toWin1252(v.toString(), block + text));
        }
        setText(block, p, text, length);
        text += length;
    }
    return block;
}

std::vector<QVariant> RecordStore::decode(int row) const
{
    std::vector<QVariant> values(slots_.size());
    for (size_t i = 0; i < slots_.size(); ++i)
        values[i] = value(row, int(i));
    return values;
}

void RecordStore::insert(int row, const std::vector<QVariant>& values)
{
    char* block = encode(values);
    rows_.insert(rows_.begin() + row, block);
}

void RecordStore::replace(int row, const std::vector<QVariant>& values)
{
    char* block = encode(values);
    release(rows_[size_t(row)]);
    rows_[size_t(row)] = block;
}

void RecordStore::update(int row, const std::vector<QVariant>& values, const std::vector<int>& changed)
{
    static const QVariant none;
    const auto valueOf = [&](int i) -> const QVariant& { return size_t(i) < values.size() ? values[size_t(i)] : none; };
    char* block = rows_[size_t(row)];
    const bool inPlace = std::none_of(changed.begin(), changed.end(), [&](int f) {
        const Slot& s = slots_[size_t(f)];
        return isVariableKind(s.kind) || (!s.dense && nullBit(block, size_t(f)) != isNullValue(valueOf(f)));
    });
    if (!inPlace) {
        replace(row, values);
        return;
    }
    for (int f : changed) {
        const bool null = isNullValue(valueOf(f));
        setNullBit(block, size_t(f), null);
        if (!null)
            writeValue(slots_[size_t(f)].kind, block + slotOffset(block, f), valueOf(f));
    }
}

void RecordStore::remove(int row)
{
    release(rows_[size_t(row)]);
    rows_.erase(rows_.begin() + row);
}

void RecordStore::setFixed(int row, int field, const QVariant& value)
{
    const Slot& s = slots_[size_t(field)];
    if (!s.dense) {
        std::vector<QVariant> values = decode(row);
        values[size_t(field)] = value;
        replace(row, values);
        return;
    }
    char* block = rows_[size_t(row)];
    const bool null = isNullValue(value);
    setNullBit(block, size_t(field), null);
    if (!null)
        writeValue(s.kind, block + s.offset, value);
}

void RecordStore::appendText(const char* const* columns, const unsigned long* lengths, const int* columnOf)
{
    // Sized for every column that is not NULL; a value that does not read becomes null and
    // leaves its few bytes unused.
    const size_t n = slots_.size();
    const auto textLength = [&](const Slot& slot, int column) {
        const unsigned long length = lengths[column];
        return slot.kind == FieldKind::String && slot.size > 0 && length > unsigned(slot.size) ? unsigned(slot.size) : length;
    };
    size_t sparse = 0, texts = 0, textBytes = 0;
    for (size_t i = 0; i < n; ++i) {
        const int c = columnOf[i];
        if (c < 0 || !columns[c])
            continue;
        const Slot& slot = slots_[i];
        if (isVariableKind(slot.kind)) {
            ++texts;
            textBytes += textLength(slot, c);
        } else if (!slot.dense) {
            sparse += slotSize(slot.kind);
        }
    }
    const NewBlock made = newBlock(sparse, texts, textBytes, true);
    char* block = made.block;
    uint32_t cursor = made.sparseStart;
    uint32_t text = made.textStart;
    for (size_t i = 0; i < n; ++i) {
        const int c = columnOf[i];
        const char* s = c >= 0 ? columns[c] : nullptr;
        const Slot& slot = slots_[i];
        if (!s) {
            setNullBit(block, i, true);
            continue;
        }
        char* p = block + (slot.dense ? slot.offset : cursor);
        if (isVariableKind(slot.kind)) {
            const uint32_t length = uint32_t(textLength(slot, c));
            std::memcpy(block + text, s, length);
            setText(block, p, text, length);
            text += length;
            cursor += textSlotSize(block);
        } else if (readServerValue(slot.kind, s, lengths[c], p)) {
            if (!slot.dense)
                cursor += slotSize(slot.kind);
        } else {
            setNullBit(block, i, true);
        }
    }
    rows_.push_back(block);
}
