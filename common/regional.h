#pragma once
// The user's regional settings, read from the system locale at start and replaceable
// in tests (tests run under Norwegian settings).

#include <QChar>
#include <QDateTime>
#include <QString>

struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QChar(0x00A0);
    QString currencySymbol = QStringLiteral("kr");
    int currencyDecimals = 2;
    // Where the symbol stands: 0 "kr1", 1 "1kr", 2 "kr 1", 3 "1 kr" (the Windows codes).
    int currencyFormat = 2;
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy"); // QDateTime format syntax
    QString longTimeFormat = QStringLiteral("HH:mm:ss");

    static RegionalSettings norwegian();
    static RegionalSettings fromSystemLocale();
};

const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);

// Short date, a blank, long time: the text of log lines and settings stamps.
QString dateTimeText(const QDateTime& when);
QString nowText();

// General number form: up to 15 significant digits, no trailing zeros, no thousands
// separator, with the given decimal separator (the regional one by default).
QString formatGeneral(double value, QChar decimalSeparator);
QString formatGeneral(double value);

// The regional currency format: symbol, thousands separator, currency decimals.
QString formatCurrency(double value);

// Reads a number written with the regional decimal separator; false when it is not one.
bool parseRegionalFloat(const QString& text, double& value);
