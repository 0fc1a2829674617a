#include "db/servertext.h"

#include "db/recordstore.h"

#include <QDate>
#include <QTime>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {
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

bool readServerValue(FieldKind kind, const char* s, unsigned long n, char* slot)
{
    bool ok = false;
    switch (kind) {
    case FieldKind::Boolean:
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt: {
        qint64 v = 0;
        ok = parseInt(s, n, v);
        if (!ok && n > 0 && n <= 8) { // BIT columns arrive as raw bytes
            v = 0;
            for (unsigned long k = 0; k < n; ++k)
                v = (v << 8) | static_cast<unsigned char>(s[k]);
            ok = true;
        }
        if (kind == FieldKind::Boolean)
            *slot = v != 0;
        else if (kind == FieldKind::SmallInt || kind == FieldKind::Integer)
            save<qint32>(slot, qint32(v));
        else
            save<qint64>(slot, v);
        break;
    }
    case FieldKind::Float:
    case FieldKind::Currency: {
        double v = 0;
        auto [e, ec] = std::from_chars(s, s + n, v);
        ok = ec == std::errc();
        save<double>(slot, v);
        break;
    }
    case FieldKind::Date: {
        QDate d;
        ok = parseDate(s, n, d);
        if (ok)
            save<qint64>(slot, packDateTime(d, QTime()));
        break;
    }
    case FieldKind::Time: {
        QTime t;
        ok = parseTime(s, n, t);
        if (ok)
            save<qint64>(slot, t.msecsSinceStartOfDay());
        break;
    }
    case FieldKind::DateTime: {
        QDate d;
        QTime t(0, 0);
        ok = parseDate(s, n, d) && (n < 19 || parseTime(s + 11, n - 11, t));
        if (ok)
            save<qint64>(slot, packDateTime(d, t));
        break;
    }
    default: break;
    }
    return ok;
}
