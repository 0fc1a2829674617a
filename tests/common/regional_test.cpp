#include "common/regional.h"
#include "tests/support/qstringprint.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {
class RegionalTest : public ::testing::Test {
protected:
    RegionalTest() { setRegional(RegionalSettings::norwegian()); }
    ~RegionalTest() override { setRegional(RegionalSettings::norwegian()); }
};
}

TEST_F(RegionalTest, NorwegianLocaleGivesTheNorwegianFormats)
{
    const RegionalSettings s = RegionalSettings::fromLocale(QLocale(QStringLiteral("nb_NO")));
    EXPECT_EQ(s.shortDateFormat, QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(s.longTimeFormat, QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(s.decimalSeparator, QLatin1Char(','));
    EXPECT_EQ(s.currencySymbol, QStringLiteral("kr"));
    EXPECT_EQ(s.currencyDecimals, 2);
    EXPECT_EQ(s.currencyFormat, 2);
    EXPECT_EQ(s.negativeCurrencyFormat, 12);
    const RegionalSettings c = RegionalSettings::fromLocale(QLocale::c());
    EXPECT_EQ(c.shortDateFormat, QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(c.currencySymbol, QStringLiteral("kr"));
}

TEST_F(RegionalTest, DateTimeTextIsShortDateBlankLongTime)
{
    EXPECT_EQ(dateTimeText(QDateTime(QDate(2025, 12, 8), QTime(14, 3, 7))), QStringLiteral("08.12.2025 14:03:07"));
    EXPECT_EQ(dateTimeText(QDateTime(QDate(2026, 1, 1), QTime(0, 0))), QStringLiteral("01.01.2026 00:00:00"));
}

TEST_F(RegionalTest, GeneralNumberForm)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {125, "125"}, {12.4875, "12,4875"}, {0, "0"}, {-0.0, "0"}, {-3.5, "-3,5"}, {80, "80"}, {0.1 + 0.2, "0,3"},
        {0.00001, "0,00001"}, {0.000001, "1E-6"}, {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346E15"}, {1e20, "1E20"}, {-2.5e-7, "-2,5E-7"},
        // 15 significant digits at every magnitude, exponent only outside [1E-5, 1E15)
        {1.23456789012345e-300, "1,23456789012345E-300"}, {1e-300, "1E-300"},
        {-1.23456789012345e-100, "-1,23456789012345E-100"}, {1.23456789012345e-6, "1,23456789012345E-6"},
        {1.23456789012345e-5, "0,0000123456789012345"}, {-1.23456789012345e-5, "-0,0000123456789012345"},
        {9.87654321098765e-5, "0,0000987654321098765"}, {1.23456789012345e-4, "0,000123456789012345"},
        {0.123456789012345, "0,123456789012345"}, {1.23456789012345, "1,23456789012345"},
        {12345678901234.5, "12345678901234,5"}, {-123456789012345.0, "-123456789012345"},
        {1.23456789012345e15, "1,23456789012345E15"}, {1.23456789012345e100, "1,23456789012345E100"},
        {-1.23456789012345e300, "-1,23456789012345E300"}, {1e300, "1E300"},
        // rounding to 15 digits decides the form
        {9.999999999999999e-6, "0,00001"}, {9.99999999999999e-6, "9,99999999999999E-6"},
        {999999999999999.9, "1E15"}, {999999999999999.0, "999999999999999"},
        // a 16-digit value halfway between two 15-digit ones rounds up
        {1000000000000005.0, "1,00000000000001E15"}, {0.1 + 0.7, "0,8"},
        {std::numeric_limits<double>::max(), "1,79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4,94065645841247E-324"},
        {inf, "INF"}, {-inf, "-INF"}, {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.value), QString::fromUtf8(c.text)) << c.text;
    EXPECT_EQ(formatGeneral(12.5, QLatin1Char('.')), QStringLiteral("12.5"));
}

TEST_F(RegionalTest, GeneralNumberFormKeepsFifteenDigitsFrom1EMinus300To1E300)
{
    for (int power = -300; power <= 300; ++power) {
        for (double mantissa : {1.23456789012345, -9.87654321098765}) {
            const double value = mantissa * std::pow(10.0, power);
            const QString text = formatGeneral(value, QLatin1Char('.'));
            QString digits = text;
            digits.remove(QRegularExpression(QStringLiteral("E.*$|[-.]")));
            digits.remove(QRegularExpression(QStringLiteral("^0+")));
            EXPECT_EQ(digits.size(), 15) << text.toStdString();
            // Read back, it is the value rounded to 15 digits.
            EXPECT_EQ(QString::number(text.toDouble(), 'e', 14), QString::number(value, 'e', 14)) << text.toStdString();
        }
    }
}

TEST_F(RegionalTest, CurrencyFormat)
{
    const QString nbsp(QChar(0x00A0));
    struct Case { double value; QString text; };
    const Case cases[] = {
        {125, "kr 125,00"}, {12.4875, "kr 12,49"}, {0, "kr 0,00"}, {1234567.5, "kr 1" + nbsp + "234" + nbsp + "567,50"},
        {-12.5, "kr -12,50"}, {-0.001, "kr 0,00"}, {999.999, "kr 1" + nbsp + "000,00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatCurrency(c.value), c.text) << c.value;
    // An amount that overflowed shows which way.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatCurrency(inf), QStringLiteral("kr INF"));
    EXPECT_EQ(formatCurrency(-inf), QStringLiteral("kr -INF"));
    EXPECT_EQ(formatCurrency(-0.0), QStringLiteral("kr 0,00"));

    RegionalSettings us = RegionalSettings::norwegian();
    us.currencySymbol = QStringLiteral("$");
    us.decimalSeparator = QLatin1Char('.');
    us.thousandSeparator = QLatin1Char(',');
    us.currencyFormat = 0;
    us.negativeCurrencyFormat = 0;
    setRegional(us);
    EXPECT_EQ(formatCurrency(1234.5), QStringLiteral("$1,234.50"));
    EXPECT_EQ(formatCurrency(-1234.5), QStringLiteral("($1,234.50)"));
}

TEST_F(RegionalTest, ParsesNumbersWithTheRegionalSeparatorOnly)
{
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {"12,5", true, 12.5}, {" 125 ", true, 125}, {"-3", true, -3}, {"+4,", true, 4}, {",5", true, 0.5},
        {"1,5E3", true, 1500}, {"2e-2", true, 0.02},
        {"12.5", false, 0}, {"1 000", false, 0}, {"", false, 0}, {"abc", false, 0}, {"1,2,3", false, 0},
        {"inf", false, 0}, {"nan", false, 0}, {"1e999", false, 0}, {",", false, 0}, {"E5", false, 0},
    };
    for (const Case& c : cases) {
        double value = -1;
        EXPECT_EQ(parseRegionalFloat(QString::fromUtf8(c.text), value), c.ok) << c.text;
        if (c.ok)
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST_F(RegionalTest, TellsTheStartOfANumberFromTextThatCannotBecomeOne)
{
    const std::pair<const char*, bool> cases[] = {
        {"12,", true},  {"-", true},     {"+", true},   {",", true},    {"1e", true},  {"1,5E-", true},
        {" 3", true},   {"10,0", true},  {"x", false},  {"2.", false},  {"1,2,", false}, {"1e999", false},
        {"-,", true},   {"e", false},    {"12a", false}, {"1 0", false},
    };
    for (const auto& [text, start] : cases)
        EXPECT_EQ(isRegionalFloatStart(QString::fromLatin1(text)), start) << text;
    setRegional([] {
        RegionalSettings point = RegionalSettings::norwegian();
        point.decimalSeparator = QLatin1Char('.');
        return point;
    }());
    EXPECT_TRUE(isRegionalFloatStart(QStringLiteral("2.")));
    EXPECT_FALSE(isRegionalFloatStart(QStringLiteral("2,")));
}
