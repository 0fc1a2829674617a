#include "common/regional.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
RegionalSettings& current()
{
    static RegionalSettings settings = RegionalSettings::fromSystemLocale();
    return settings;
}

QString groupThousands(QStringView digits, QChar separator, qsizetype room)
{
    QString out;
    const qsizetype n = digits.size();
    out.reserve(room + n / 3);
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

// The time zone ("t" .. "tttt") is not part of the long time format the program shows.
QString withoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

// The digits of a positive finite value rounded to 15 significant digits, without
// trailing zeros, and the decimal exponent of the first one.
QString significantDigits(double value, int& exponent)
{
    // A normal number's shortest round-trip text lies within half a unit in its last
    // place, far inside half a unit of the 15th digit: when it has at most 15 digits it is
    // the rounded value, and it costs a fraction of the exact rounding.
    char text[32];
    if (value >= std::numeric_limits<double>::min()) {
        const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
        const char* e = error == std::errc() ? std::find(text, end, 'e') : end;
        char digits[32];
        int count = 0;
        for (const char* p = text; p != e; ++p)
            if (*p != '.')
                digits[count++] = *p;
        if (e != end && count > 0 && count <= 15) {
            std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
            return QString::fromLatin1(digits, count);
        }
    }
    const QString scientific = QString::number(value, 'e', 14);
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    exponent = scientific.mid(e + 1).toInt();
    QString digits = scientific.left(1) + scientific.mid(2, e - 2);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return digits;
}

QString negativeCurrency(int code, const QString& symbol, const QString& number)
{
    const QString& s = symbol;
    const QString& n = number;
    const QChar sp = QLatin1Char(' ');
    switch (code) {
    case 0: return QLatin1Char('(') + s + n + QLatin1Char(')');
    case 1: return QLatin1Char('-') + s + n;
    case 2: return s + QLatin1Char('-') + n;
    case 3: return s + n + QLatin1Char('-');
    case 4: return QLatin1Char('(') + n + s + QLatin1Char(')');
    case 5: return QLatin1Char('-') + n + s;
    case 6: return n + QLatin1Char('-') + s;
    case 7: return n + s + QLatin1Char('-');
    case 8: return QLatin1Char('-') + n + sp + s;
    case 9: return QLatin1Char('-') + s + sp + n;
    case 10: return n + sp + s + QLatin1Char('-');
    case 11: return s + sp + n + QLatin1Char('-');
    case 13: return n + QLatin1Char('-') + sp + s;
    case 14: return QLatin1Char('(') + s + sp + n + QLatin1Char(')');
    case 15: return QLatin1Char('(') + n + sp + s + QLatin1Char(')');
    default: return s + sp + QLatin1Char('-') + n; // 12
    }
}
}

RegionalSettings RegionalSettings::norwegian()
{
    return RegionalSettings{};
}

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::C || locale.currencySymbol().isEmpty())
        return RegionalSettings{};
    RegionalSettings s;
    s.decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().front();
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QLatin1Char(' ') : locale.groupSeparator().front();
    s.currencySymbol = locale.currencySymbol();
    s.currencyDecimals = 2;
    const QString sample = locale.toCurrencyString(1.0);
    const bool symbolFirst = sample.startsWith(s.currencySymbol);
    const bool spaced = sample.contains(QLatin1Char(' ')) || sample.contains(QChar(0x00A0));
    s.currencyFormat = symbolFirst ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    static const int negativeFor[] = {1, 5, 12, 8};
    s.negativeCurrencyFormat = negativeFor[s.currencyFormat];
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return s;
}

RegionalSettings RegionalSettings::fromSystemLocale()
{
    return fromLocale(QLocale::system());
}

const RegionalSettings& regional()
{
    return current();
}

void setRegional(const RegionalSettings& settings)
{
    current() = settings;
}

QString dateTimeText(const QDateTime& when)
{
    const RegionalSettings& r = regional();
    return when.date().toString(r.shortDateFormat) + QLatin1Char(' ') + when.time().toString(r.longTimeFormat);
}

QString nowText()
{
    return dateTimeText(QDateTime::currentDateTime());
}

QString formatGeneral(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0"); // negative zero too
    // Rounded once to 15 significant digits; the layout follows the rounded exponent, so
    // every magnitude keeps all 15 digits ("d.dddddddddddddde-05" included).
    int exponent = 0;
    QString digits = significantDigits(std::fabs(value), exponent);

    QString text;
    if (exponent < -5 || exponent >= 15) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += decimalSeparator + digits.mid(1);
        text += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent < 0) {
        text = QLatin1Char('0') + QString(decimalSeparator) + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        text = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        text = digits.left(exponent + 1) + decimalSeparator + digits.mid(exponent + 1);
    }
    return value < 0 ? QLatin1Char('-') + text : text;
}

QString formatGeneral(double value)
{
    return formatGeneral(value, regional().decimalSeparator);
}

QString formatCurrency(double value)
{
    const RegionalSettings& r = regional();
    const bool negative = value < 0;
    QString number;
    if (!std::isfinite(value)) {
        // Qt writes "inf" without its sign; an overflowed amount still shows which way.
        number = std::isnan(value) ? QStringLiteral("NAN") : QStringLiteral("INF");
    } else {
        const QString fixed = QString::number(std::fabs(value), 'f', r.currencyDecimals);
        const qsizetype dot = fixed.indexOf(QLatin1Char('.'));
        const QStringView whole = dot >= 0 ? QStringView(fixed).left(dot) : QStringView(fixed);
        number = groupThousands(whole, r.thousandSeparator, fixed.size() + 1);
        if (dot >= 0 && dot + 1 < fixed.size()) {
            number += r.decimalSeparator;
            number += QStringView(fixed).mid(dot + 1);
        }
    }
    bool allZero = true;
    for (QChar c : number)
        if (c != QLatin1Char('0') && c != r.decimalSeparator && c != r.thousandSeparator)
            allZero = false;
    if (negative && !allZero)
        return negativeCurrency(r.negativeCurrencyFormat, r.currencySymbol, number);
    switch (r.currencyFormat) {
    case 0: return r.currencySymbol + number;
    case 1: return number + r.currencySymbol;
    case 2: return r.currencySymbol + QLatin1Char(' ') + number;
    default: return number + QLatin1Char(' ') + r.currencySymbol;
    }
}

namespace {
// Built once per separator, not per keystroke.
const QRegularExpression& numberPattern(QChar separator)
{
    thread_local QChar builtFor;
    thread_local QRegularExpression pattern;
    if (builtFor != separator || pattern.pattern().isEmpty()) {
        const QString s = QRegularExpression::escape(QString(separator));
        pattern = QRegularExpression(QStringLiteral("^[+-]?(\\d+(%1\\d*)?|%1\\d+)([eE][+-]?\\d+)?$").arg(s));
        pattern.optimize();
        builtFor = separator;
    }
    return pattern;
}
}

bool parseRegionalFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    const QChar sep = regional().decimalSeparator;
    if (!numberPattern(sep).match(t).hasMatch())
        return false;
    t.replace(sep, QLatin1Char('.'));
    bool ok = false;
    const double parsed = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool isRegionalFloatStart(const QString& text)
{
    double value = 0;
    if (parseRegionalFloat(text, value))
        return true;
    // A complete match that is no number ("1e999") only grows worse by typing on.
    return numberPattern(regional().decimalSeparator)
        .match(text.trimmed(), 0, QRegularExpression::PartialPreferCompleteMatch)
        .hasPartialMatch();
}
