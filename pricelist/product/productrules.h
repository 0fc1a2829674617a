#pragma once
// The product record's rules apart from any table, so every data set shaped like the
// product table follows the same ones: the out-price and a new record's defaults.

#include <QDateTime>
#include <QString>

namespace productrules {

// Out-price: price * 1.25, unrounded.
double outPrice(double price);
// The price a typed out-price stands for: out-price / 1.25, unrounded.
double priceFromOutPrice(double outPrice);

// The values a new record starts with (besides its product code).
struct NewProductDefaults {
    double instock = 1.0;
    int rwxAll = 5;
    int rwxUser = 7;
    int rwxGroup = 7;
    int sale = 0;
    int web = 0;
};
inline constexpr NewProductDefaults newProduct{};

// A new record's product code: the local date and time `when` as regional text, the
// time part left out at exactly midnight.
QString newProductCode(const QDateTime& when);

} // namespace productrules
