#include "common/regional.h"

#include <QLocale>
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
}

RegionalSettings RegionalSettings::norwegian()
{
    return RegionalSettings{};
}

RegionalSettings RegionalSettings::fromSystemLocale()
{
    const QLocale locale = QLocale::system();
    RegionalSettings s;
    s.decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().front();
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QLatin1Char(' ') : locale.groupSeparator().front();
    s.currencySymbol = locale.currencySymbol();
    s.currencyDecimals = 2;
    const QString sample = locale.toCurrencyString(1.0);
    const bool symbolFirst = sample.startsWith(s.currencySymbol);
    const bool spaced = sample.contains(QLatin1Char(' ')) || sample.contains(QChar(0x00A0));
    s.currencyFormat = symbolFirst ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.longTimeFormat = locale.timeFormat(QLocale::LongFormat).remove(QLatin1String(" t")).remove(QLatin1Char('t')).trimmed();
    if (s.currencySymbol.isEmpty() || locale.language() == QLocale::C) {
        // The C locale (a bare container) has no useful formats: keep the program's defaults.
        return RegionalSettings{};
    }
    return s;
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
    QString text = QString::number(value, 'g', 15);
    // Exponent form only where the magnitude needs it (below 1e-5 or above 15 digits).
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
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
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
    const bool negative = value < 0;
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
    QString out;
    switch (r.currencyFormat) {
    case 0: out = r.currencySymbol + number; break;
    case 1: out = number + r.currencySymbol; break;
    case 2: out = r.currencySymbol + QLatin1Char(' ') + number; break;
    default: out = number + QLatin1Char(' ') + r.currencySymbol; break;
    }
    bool allZero = true;
    for (QChar c : number)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    return negative && !allZero ? QLatin1Char('-') + out : out;
}

bool parseRegionalFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = regional().decimalSeparator;
    if (sep != QLatin1Char('.') && t.contains(QLatin1Char('.')))
        return false;
    t.replace(sep, QLatin1Char('.'));
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    return ok;
}
