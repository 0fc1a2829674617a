#include "db/recordstore.h"

#include "db/win1252.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace {
constexpr qint64 msPerDay = 86400000;

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

bool parseInt(const char* s, unsigned long n, qint64& out)
{
    const char* end = s + n;
    if (n > 0 && *s == '+')
        ++s;
    auto [p, ec] = std::from_chars(s, end, out);
    if (ec == std::errc() && p == end)
        return true;
    uint64_t u; // BIGINT UNSIGNED beyond the signed range
    auto [p2, ec2] = std::from_chars(s, end, u);
    if (ec2 == std::errc() && p2 == end) {
        out = qint64(u);
        return true;
    }
    return false;
}

int digits(const char* s, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "YYYY-MM-DD"; false for the zero date and anything unreadable.
bool parseDate(const char* s, unsigned long n, QDate& date)
{
    if (n < 10 || s[4] != '-' || s[7] != '-')
        return false;
    const int y = digits(s, 4), m = digits(s + 5, 2), d = digits(s + 8, 2);
    if (y < 0 || m < 0 || d < 0 || (y == 0 && m == 0 && d == 0))
        return false;
    date = QDate(y, m, d);
    return date.isValid();
}

// "HH:MM:SS[.ffffff]"
bool parseTime(const char* s, unsigned long n, QTime& time)
{
    if (n < 8 || s[2] != ':' || s[5] != ':')
        return false;
    const int h = digits(s, 2), m = digits(s + 3, 2), sec = digits(s + 6, 2);
    if (h < 0 || m < 0 || sec < 0)
        return false;
    int ms = 0;
    if (n > 9 && s[8] == '.') {
        int scale = 100;
        for (unsigned long i = 9; i < n && i < 12 && scale > 0; ++i, scale /= 10)
            ms += (s[i] - '0') * scale;
    }
    time = QTime(h, m, sec, ms);
    return time.isValid();
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

void RecordStore::setLayout(const std::vector<FieldKind>& kinds, const std::vector<int>& sizes)
{
    clear();
    slots_.clear();
    nullBytes_ = uint32_t((kinds.size() + 7) / 8);
    uint32_t offset = nullBytes_;
    for (size_t i = 0; i < kinds.size(); ++i) {
        slots_.push_back({kinds[i], offset, i < sizes.size() ? sizes[i] : 0});
        offset += slotSize(kinds[i]);
    }
    fixedEnd_ = offset;
}

void RecordStore::clear()
{
    for (char* r : rows_)
        std::free(r);
    rows_.clear();
}

bool RecordStore::isNull(int row, int field) const
{
    const char* block = rows_[size_t(row)];
    return (block[field >> 3] >> (field & 7)) & 1;
}

QVariant RecordStore::value(int row, int field) const
{
    if (isNull(row, field))
        return {};
    const char* block = rows_[size_t(row)];
    const Slot& s = slots_[size_t(field)];
    const char* p = block + s.offset;
    switch (s.kind) {
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
    case FieldKind::Memo:
        return QVariant(fromWin1252(block + load<uint32_t>(p), load<uint32_t>(p + 4)));
    case FieldKind::Blob:
        return QVariant(QByteArray(block + load<uint32_t>(p), load<uint32_t>(p + 4)));
    }
    return {};
}

double RecordStore::floatValue(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    return load<double>(rows_[size_t(row)] + slots_[size_t(field)].offset);
}

qint64 RecordStore::integerValue(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    const Slot& s = slots_[size_t(field)];
    const char* p = rows_[size_t(row)] + s.offset;
    switch (slotSize(s.kind)) {
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
    const Slot& s = slots_[size_t(field)];
    const char* p = block + s.offset;
    if (isVariableKind(s.kind))
        return QByteArrayView(block + load<uint32_t>(p), qsizetype(load<uint32_t>(p + 4)));
    return QByteArrayView(p, qsizetype(slotSize(s.kind)));
}

int RecordStore::findRow(int field, int first, int last, const std::function<bool(int row, QByteArrayView bytes)>& match) const
{
    // Each record is a block of its own: fetch the block's slot some rows ahead and, once
    // that has arrived, the text it points to, so the misses overlap.
    constexpr int slotAhead = 16, textAhead = 4;
    const Slot& s = slots_[size_t(field)];
    const bool variable = isVariableKind(s.kind);
    for (int row = first; row < last; ++row) {
#if defined(__GNUC__)
        if (row + slotAhead < last) {
            __builtin_prefetch(rows_[size_t(row + slotAhead)]);
            __builtin_prefetch(rows_[size_t(row + slotAhead)] + s.offset);
        }
        if (variable && row + textAhead < last) {
            const char* block = rows_[size_t(row + textAhead)];
            __builtin_prefetch(block + load<uint32_t>(block + s.offset));
        }
#endif
        if (match(row, bytes(row, field)))
            return row;
    }
    return -1;
}

void RecordStore::writeFixed(char* block, int field, const QVariant& value) const
{
    const Slot& s = slots_[size_t(field)];
    char* p = block + s.offset;
    const bool null = !value.isValid() || value.isNull();
    if (null) {
        block[field >> 3] |= char(1 << (field & 7));
        return;
    }
    block[field >> 3] &= char(~(1 << (field & 7)));
    switch (s.kind) {
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

char* RecordStore::encode(const std::vector<QVariant>& values) const
{
    // Text takes at most one byte per UTF-16 unit; the block is sized for that.
    size_t total = fixedEnd_;
    for (size_t i = 0; i < slots_.size() && i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (!isVariableKind(slots_[i].kind) || !v.isValid() || v.isNull())
            continue;
        total += size_t(slots_[i].kind == FieldKind::Blob ? v.toByteArray().size() : v.toString().size());
    }
    char* block = static_cast<char*>(std::malloc(total));
    std::memset(block, 0, fixedEnd_);
    uint32_t var = fixedEnd_;
    for (size_t i = 0; i < slots_.size(); ++i) {
        const QVariant v = i < values.size() ? values[i] : QVariant();
        if (!isVariableKind(slots_[i].kind)) {
            writeFixed(block, int(i), v);
            continue;
        }
        if (!v.isValid() || v.isNull()) {
            block[i >> 3] |= char(1 << (i & 7));
            continue;
        }
        var += writeVariable(block, int(i), v, var);
    }
    return block;
}

uint32_t RecordStore::writeVariable(char* block, int field, const QVariant& value, uint32_t at) const
{
    uint32_t length;
    if (slots_[size_t(field)].kind == FieldKind::Blob) {
        const QByteArray bytes = value.toByteArray();
        std::memcpy(block + at, bytes.constData(), size_t(bytes.size()));
        length = uint32_t(bytes.size());
    } else {
        length = uint32_t(toWin1252(value.toString(), block + at));
    }
    char* p = block + slots_[size_t(field)].offset;
    save<uint32_t>(p, at);
    save<uint32_t>(p + 4, length);
    return length;
}

void RecordStore::insert(int row, const std::vector<QVariant>& values)
{
    char* block = encode(values);
    rows_.insert(rows_.begin() + row, block);
}

void RecordStore::update(int row, const std::vector<QVariant>& values, const std::vector<int>& changed)
{
    static const QVariant none;
    const auto valueOf = [&](size_t i) -> const QVariant& { return i < values.size() ? values[i] : none; };
    const auto isNullValue = [](const QVariant& v) { return !v.isValid() || v.isNull(); };
    char* old = rows_[size_t(row)];
    if (std::none_of(changed.begin(), changed.end(), [&](int f) { return isVariableKind(slots_[size_t(f)].kind); })) {
        // Only fixed-size values change: in place.
        for (int f : changed)
            writeFixed(old, f, valueOf(size_t(f)));
        return;
    }
    std::vector<bool> mask(slots_.size(), false);
    for (int f : changed)
        mask[size_t(f)] = true;
    const auto isChanged = [&](size_t i) { return bool(mask[i]); };
    size_t total = fixedEnd_;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!isVariableKind(slots_[i].kind))
            continue;
        if (!isChanged(i)) {
            total += size_t(bytes(row, int(i)).size());
            continue;
        }
        const QVariant v = valueOf(i);
        if (!isNullValue(v))
            total += size_t(slots_[i].kind == FieldKind::Blob ? v.toByteArray().size() : v.toString().size());
    }
    // The null bits and fixed slots as they were; the changed fields over them.
    char* block = static_cast<char*>(std::malloc(total));
    std::memcpy(block, old, fixedEnd_);
    uint32_t var = fixedEnd_;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!isVariableKind(slots_[i].kind)) {
            if (isChanged(i))
                writeFixed(block, int(i), valueOf(i));
            continue;
        }
        if (!isChanged(i)) {
            const QByteArrayView kept = bytes(row, int(i));
            if (!kept.isNull()) {
                std::memcpy(block + var, kept.data(), size_t(kept.size()));
                save<uint32_t>(block + slots_[i].offset, var);
                save<uint32_t>(block + slots_[i].offset + 4, uint32_t(kept.size()));
                var += uint32_t(kept.size());
            }
            continue;
        }
        const QVariant v = valueOf(i);
        if (isNullValue(v)) {
            block[i >> 3] |= char(1 << (i & 7));
            continue;
        }
        block[i >> 3] &= char(~(1 << (i & 7)));
        var += writeVariable(block, int(i), v, var);
    }
    std::free(old);
    rows_[size_t(row)] = block;
}

void RecordStore::remove(int row)
{
    std::free(rows_[size_t(row)]);
    rows_.erase(rows_.begin() + row);
}

void RecordStore::setFixed(int row, int field, const QVariant& value)
{
    writeFixed(rows_[size_t(row)], field, value);
}

void RecordStore::appendText(const char* const* columns, const unsigned long* lengths, const int* columnOf)
{
    const size_t n = slots_.size();
    size_t total = fixedEnd_;
    for (size_t i = 0; i < n; ++i) {
        const int c = columnOf[i];
        if (c >= 0 && columns[c] && isVariableKind(slots_[i].kind)) {
            unsigned long len = lengths[c];
            if (slots_[i].kind == FieldKind::String && slots_[i].size > 0 && len > unsigned(slots_[i].size))
                len = unsigned(slots_[i].size);
            total += len;
        }
    }
    char* block = static_cast<char*>(std::malloc(total));
    std::memset(block, 0, nullBytes_);
    uint32_t var = fixedEnd_;
    for (size_t i = 0; i < n; ++i) {
        const int c = columnOf[i];
        const char* s = c >= 0 ? columns[c] : nullptr;
        const Slot& slot = slots_[i];
        char* p = block + slot.offset;
        bool ok = s != nullptr;
        if (ok) {
            const unsigned long len = lengths[c];
            switch (slot.kind) {
            case FieldKind::Boolean:
            case FieldKind::SmallInt:
            case FieldKind::Integer:
            case FieldKind::Word:
            case FieldKind::LargeInt: {
                qint64 v = 0;
                ok = parseInt(s, len, v);
                if (!ok && len > 0 && len <= 8) { // BIT columns arrive as raw bytes
                    v = 0;
                    for (unsigned long k = 0; k < len; ++k)
                        v = (v << 8) | static_cast<unsigned char>(s[k]);
                    ok = true;
                }
                if (slot.kind == FieldKind::Boolean)
                    *p = v != 0;
                else if (slotSize(slot.kind) == 4)
                    save<qint32>(p, qint32(v));
                else
                    save<qint64>(p, v);
                break;
            }
            case FieldKind::Float:
            case FieldKind::Currency: {
                double v = 0;
                auto [e, ec] = std::from_chars(s, s + len, v);
                ok = ec == std::errc();
                save<double>(p, v);
                break;
            }
            case FieldKind::Date: {
                QDate d;
                ok = parseDate(s, len, d);
                if (ok)
                    save<qint64>(p, packDateTime(d, QTime()));
                break;
            }
            case FieldKind::Time: {
                QTime t;
                ok = parseTime(s, len, t);
                if (ok)
                    save<qint64>(p, t.msecsSinceStartOfDay());
                break;
            }
            case FieldKind::DateTime: {
                QDate d;
                QTime t(0, 0);
                ok = parseDate(s, len, d) && (len < 19 || parseTime(s + 11, len - 11, t));
                if (ok)
                    save<qint64>(p, packDateTime(d, t));
                break;
            }
            case FieldKind::String:
            case FieldKind::Memo:
            case FieldKind::Blob: {
                uint32_t l = uint32_t(len);
                if (slot.kind == FieldKind::String && slot.size > 0 && l > uint32_t(slot.size))
                    l = uint32_t(slot.size);
                save<uint32_t>(p, var);
                save<uint32_t>(p + 4, l);
                std::memcpy(block + var, s, l);
                var += l;
                break;
            }
            }
        }
        if (!ok)
            block[i >> 3] |= char(1 << (i & 7));
    }
    rows_.push_back(block);
}
