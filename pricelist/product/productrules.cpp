#include "pricelist/product/productrules.h"

#include "common/regional.h"

namespace productrules {

double outPrice(double price)
{
    return price * 1.25;
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
