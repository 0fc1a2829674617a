#pragma once
// The price list as CSV for spreadsheets: UTF-8 with a byte-order mark, a heading row,
// RFC 4180 quoting and CR LF line ends; ";" between cells where the decimal separator is
// a comma, else ",". Numbers in the regional form. A text cell that begins with "=", "+",
// "-", "@", a tab or a carriage return gets a leading apostrophe, so no text can run as a
// formula in the spreadsheet.

#include "pricelist/export/exportstep.h"

#include <QChar>
#include <QString>
#include <vector>

class ProductRows;
class QIODevice;

// The separator for the regional settings' decimal separator.
QChar csvSeparator();
// One cell as written: control characters left out, neutralised (text cells only), then
// quoted when needed.
QString csvCell(const QString& value, QChar separator, bool text);

void writeCsv(const ProductRows& products, const std::vector<int>& rows, QIODevice& out, const ExportStep& step);
