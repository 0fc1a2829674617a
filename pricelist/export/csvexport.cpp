#include "pricelist/export/csvexport.h"

#include "common/regional.h"
#include "pricelist/export/controlcharacters.h"
#include "pricelist/export/productrows.h"

#include <QIODevice>

namespace {
QString yesNo(bool value)
{
    return value ? QStringLiteral("Ja") : QStringLiteral("Nei");
}

// The out-price as the list rounds it, without currency symbol or thousands separator.
QString amount(double value)
{
    QString text = QString::number(value, 'f', regional().currencyDecimals);
    return text.replace(QLatin1Char('.'), regional().decimalSeparator);
}
}

QChar csvSeparator()
{
    return regional().decimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

QString csvCell(const QString& value, QChar separator, bool text)
{
    QString cell = withoutControlCharacters(value);
    if (text && !cell.isEmpty()) {
        const QChar first = cell.front();
        if (first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') || first == QLatin1Char('@')
            || first == QLatin1Char('\t') || first == QLatin1Char('\r'))
            cell.prepend(QLatin1Char('\''));
    }
    if (cell.contains(separator) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\n'))
        || cell.contains(QLatin1Char('\r'))) {
        cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        cell = QLatin1Char('"') + cell + QLatin1Char('"');
    }
    return cell;
}

void writeCsv(const ProductRows& products, const std::vector<int>& rows, QIODevice& out, const ExportStep& step)
{
    const QChar sep = csvSeparator();
    QString line;
    bool firstCell = true;
    auto add = [&](const QString& value, bool text) {
        if (!firstCell)
            line += sep;
        firstCell = false;
        line += csvCell(value, sep, text);
    };
    auto flush = [&] {
        line += QStringLiteral("\r\n");
        out.write(line.toUtf8());
        line.clear();
        firstCell = true;
    };
    out.write("\xEF\xBB\xBF");
    for (const char* heading : {"Tekst", "Beskrivelse", "Pris", "Utpris", "På salg", "I nettbutikken", "Bilde"})
        add(QString::fromUtf8(heading), true);
    flush();
    for (const int row : rows) {
        add(products.text(row), true);
        add(products.description(row), true);
        add(formatGeneral(products.price(row)), false);
        add(amount(products.outPrice(row)), false);
        add(yesNo(products.onSale(row)), false);
        add(yesNo(products.inWebShop(row)), false);
        add(products.picture(row), true);
        flush();
        if (step)
            step();
    }
}
