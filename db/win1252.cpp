#include "db/win1252.h"

namespace {
// 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves undefined (kept as C1).
constexpr char16_t high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

char encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (high[i] == c && c != 0)
            return char(0x80 + i);
    if (c >= 0x80 && c < 0xA0 && high[c - 0x80] == 0)
        return char(c);
    return '?';
}
}

QByteArray toWin1252(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(toWin1252(text, out.data()));
    return out;
}

qsizetype toWin1252(const QString& text, char* out)
{
    qsizetype n = 0;
    const QChar* p = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = p[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(p[i + 1].unicode()))
            ++i; // one character outside the code page, one "?"
        out[n++] = encodeOne(c);
    }
    return n;
}

QString fromWin1252(const char* bytes, qsizetype length)
{
    QString out(length, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0 && high[b - 0x80]) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

QString win1252Representable(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80 && !(c.unicode() >= 0xA0 && c.unicode() <= 0xFF))
            return fromWin1252(toWin1252(text));
    return text;
}

QStringList win1252Missing(const QString& text)
{
    QStringList missing;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate();
        if (!pair && (encodeOne(c) != '?' || c == u'?'))
            continue;
        const QString character = text.mid(i, pair ? 2 : 1);
        if (!missing.contains(character))
            missing << character;
        if (pair)
            ++i;
    }
    return missing;
}
