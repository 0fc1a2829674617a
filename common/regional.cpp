#include "common/regional.h"

#include <QRegularExpression>
#include <cmath>

namespace {
RegionalSettings& current()
{
    static RegionalSettings settings = RegionalSettings::fromSystemLocale();
    return settings;
}

QString groupThousands(const QString& digits, QChar separator)
{
    QString out;
    const qsizetype n = digits.size();
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

// Qt's "1e-06" and "1e+20" as the program writes them: "1E-6", "1E20".
QString exponentForm(const QString& text)
{
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    QString exponent = text.mid(e + 1);
    QString sign;
    if (exponent.startsWith(QLatin1Char('+')) || exponent.startsWith(QLatin1Char('-'))) {
        if (exponent.startsWith(QLatin1Char('-')))
            sign = QStringLiteral("-");
        exponent = exponent.mid(1);
    }
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
        exponent = exponent.mid(1);
    return text.left(e) + QLatin1Char('E') + sign + exponent;
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
    if (value == 0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString text = QString::number(value, 'g', 15);
    // Exponent form only where the magnitude needs it (below 1e-5 or from 1e15 on).
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-5 && magnitude < 1e15 && text.contains(QLatin1Char('e'))) {
        text = QString::number(value, 'f', 15);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    text = exponentForm(text);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

QString formatGeneral(double value)
{
    return formatGeneral(value, regional().decimalSeparator);
}

QString formatCurrency(double value)
{
    const RegionalSettings& r = regional();
    QString fixed = QString::number(std::fabs(value), 'f', r.currencyDecimals);
    QString whole = fixed, fraction;
    const qsizetype dot = fixed.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        whole = fixed.left(dot);
        fraction = fixed.mid(dot + 1);
    }
    QString number = groupThousands(whole, r.thousandSeparator);
    if (!fraction.isEmpty())
        number += r.decimalSeparator + fraction;
    bool allZero = true;
    for (QChar c : number)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    if (value < 0 && !allZero)
        return negativeCurrency(r.negativeCurrencyFormat, r.currencySymbol, number);
    switch (r.currencyFormat) {
    case 0: return r.currencySymbol + number;
    case 1: return number + r.currencySymbol;
    case 2: return r.currencySymbol + QLatin1Char(' ') + number;
    default: return number + QLatin1Char(' ') + r.currencySymbol;
    }
}

bool parseRegionalFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    const QChar sep = regional().decimalSeparator;
    const QString separator = QRegularExpression::escape(QString(sep));
    const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(%1\\d*)?|%1\\d+)([eE][+-]?\\d+)?$").arg(separator));
    if (!number.match(t).hasMatch())
        return false;
    t.replace(sep, QLatin1Char('.'));
    bool ok = false;
    const double parsed = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
