#pragma once
// The price list window's "Skriv ut..." and "Eksporter...", and the export of the
// switch "--export" for a nightly job. A pending edit of the table is ended first, as a
// move would end it (posted when changed, else cancelled).

#include <QString>

class DataSet;
class QWidget;

// Asks for the choice ("Eksporter prisliste"), remembers it, exports with a progress bar
// and says where the files are, offering to open their folder.
void exportPriceList(DataSet& table, const QString& shopName, QWidget* parent);

// The print dialog, then the same pages as the PDF, with the last export choice of
// products and pictures, under the same progress bar with "Avbryt".
void printPriceList(DataSet& table, const QString& shopName, QWidget* parent);

// Before the application object exists: without a display the offscreen platform is
// used, and every message box goes to standard error instead of the screen.
void prepareWindowlessExport();

// "--export" with its value (any of "pdf", "csv", "html", separated by commas): exports
// with the last dialog choice otherwise, prints each file written on standard output and
// returns 0; on any failure prints the error on standard error and returns 1 (2 for a
// value that names no format).
int exportFromCommandLine(DataSet& table, const QString& formats, const QString& shopName);
