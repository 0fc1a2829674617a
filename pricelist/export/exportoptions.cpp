#include "pricelist/export/exportoptions.h"

#include "common/hs_reg.h"
#include "common/settingssection.h"

namespace {
const QString section = QStringLiteral("EXPORT");

bool readFlag(const QString& key, bool fallback)
{
    return readinistring(key).isEmpty() ? fallback : readinibool(key);
}
}

ExportOptions loadExportOptions()
{
    const SettingsSection in(section);
    ExportOptions options;
    options.pdf = readFlag(QStringLiteral("EXPORT_PDF"), options.pdf);
    options.csv = readFlag(QStringLiteral("EXPORT_CSV"), options.csv);
    options.html = readFlag(QStringLiteral("EXPORT_HTML"), options.html);
    const int products = readiniinteger(QStringLiteral("EXPORT_PRODUCTS"));
    if (products >= 0 && products <= int(ProductSelection::OnSale))
        options.products = ProductSelection(products);
    options.pictures = readinibool(QStringLiteral("EXPORT_PICTURES"));
    return options;
}

void saveExportOptions(const ExportOptions& options)
{
    const SettingsSection in(section);
    writeinibool(QStringLiteral("EXPORT_PDF"), options.pdf);
    writeinibool(QStringLiteral("EXPORT_CSV"), options.csv);
    writeinibool(QStringLiteral("EXPORT_HTML"), options.html);
    writeiniinteger(QStringLiteral("EXPORT_PRODUCTS"), int(options.products));
    writeinibool(QStringLiteral("EXPORT_PICTURES"), options.pictures);
}
