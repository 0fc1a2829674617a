#include "pricelist/product/productrules.h"

#include "common/regional.h"

namespace productrules {

namespace {
constexpr double markup = 1.25;
}

double outPrice(double price)
{
    return price * markup;
}

double priceFromOutPrice(double outPrice)
{
    return outPrice / markup;
}

QString newProductCode(const QDateTime& when)
{
    const RegionalSettings& r = regional();
    QString text = when.date().toString(r.shortDateFormat);
    if (when.time().msecsSinceStartOfDay() != 0)
        text += QLatin1Char(' ') + when.time().toString(r.longTimeFormat);
    return text;
}

} // namespace productrules
