#pragma once
// What an export writes: the formats, which products, with or without pictures. The
// dialog's last choice is kept in the settings file, section "EXPORT".

enum class ProductSelection { All = 0, WebShop = 1, OnSale = 2 };

struct ExportOptions {
    bool pdf = true;
    bool csv = true;
    bool html = true;
    ProductSelection products = ProductSelection::All;
    bool pictures = false;

    bool anyFormat() const { return pdf || csv || html; }
};

// The last choice made in the dialog; all formats, all products, no pictures when none
// was made. Leaves the current section as it was.
ExportOptions loadExportOptions();
// Remembers the choice in the open settings document (it reaches the file at the next
// write-back).
void saveExportOptions(const ExportOptions& options);
