#pragma once
// The user's regional settings, read from the system locale at start and replaceable
// in tests (tests run under Norwegian settings).

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>

struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QChar(0x00A0);
    QString currencySymbol = QStringLiteral("kr");
    int currencyDecimals = 2;
    // Where the symbol stands: 0 "kr1", 1 "1kr", 2 "kr 1", 3 "1 kr" (the Windows codes).
    int currencyFormat = 2;
    // Negative amounts, the Windows codes 0 to 15 ("kr -1", code 12, in Norway).
    int negativeCurrencyFormat = 12;
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy"); // QDateTime format syntax
    QString longTimeFormat = QStringLiteral("HH:mm:ss");

    static RegionalSettings norwegian();
    static RegionalSettings fromSystemLocale();
    // A locale without currency (the C locale of a bare machine) gives the Norwegian settings.
    static RegionalSettings fromLocale(const QLocale& locale);
};

const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);

// Short date, a blank, long time: the text of log lines and settings stamps.
QString dateTimeText(const QDateTime& when);
QString nowText();

// General number form: up to 15 significant digits, no trailing zeros, no thousands
// separator, with the given decimal separator (the regional one by default); exponent
// form ("1E-6", "1E20") only below 0.00001 or from 16 digits before the point; "INF",
// "-INF", "NAN" for the values that are no number. Statements and edit texts both use it.
QString formatGeneral(double value, QChar decimalSeparator);
QString formatGeneral(double value);

// The regional currency format: symbol, thousands separator, currency decimals.
QString formatCurrency(double value);

// Reads a number written with the regional decimal separator (sign, digits, separator,
// exponent; blanks around it); false when it is not one.
bool parseRegionalFloat(const QString& text, double& value);
// Whether typing on could still make the text such a number: it is one, or the start of
// one ("12,", "-", ",", "1e").
bool isRegionalFloatStart(const QString& text);
