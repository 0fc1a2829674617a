#include "pricelist/export/exportoptions.h"

#include "common/hs_reg.h"

namespace {
const QString section = QStringLiteral("EXPORT");

// Switches to the export section and back, whatever happens in between.
class InExportSection {
public:
    InExportSection() : remembered_(SettingsStore::instance().currentSection) { setsection(section); }
    ~InExportSection() { setsection(remembered_); }

private:
    QString remembered_;
};

bool readFlag(const QString& key, bool fallback)
{
    return readinistring(key).isEmpty() ? fallback : readinibool(key);
}
}

ExportOptions loadExportOptions()
{
    InExportSection in;
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
    InExportSection in;
    writeinibool(QStringLiteral("EXPORT_PDF"), options.pdf);
    writeinibool(QStringLiteral("EXPORT_CSV"), options.csv);
    writeinibool(QStringLiteral("EXPORT_HTML"), options.html);
    writeiniinteger(QStringLiteral("EXPORT_PRODUCTS"), int(options.products));
    writeinibool(QStringLiteral("EXPORT_PICTURES"), options.pictures);
}
