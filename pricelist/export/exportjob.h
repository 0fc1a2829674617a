#pragma once
// One export of the price list: the chosen formats, each written whole into its
// registered folder ("export\pdf", "export\csv", "export\html"; thumbnails into
// "export\html\varer") under a name with the date, prisliste-2026-12-10.pdf.
//
// The data set must be in the browse state (post or cancel a pending edit first).
// Failures throw Error naming the folder; a cancel throws SilentAbort. Either way no
// file is left half-written under its final name; files finished before stay.

#include "pricelist/export/exportoptions.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class DataSet;

struct ExportResult {
    QStringList files;      // the price list files written, in the order pdf, csv, html
    int picturesLeftOut = 0; // products whose picture was missing or unreadable
};

class ExportJob {
public:
    ExportJob(const DataSet& table, ExportOptions options, QString shopName, QDate date = QDate::currentDate());

    // Told how many products of how many are written so far; false cancels the export.
    std::function<bool(qint64 done, qint64 total)> progress;

    ExportResult run();
    // The files finished so far: after a failure of run(), those written before it.
    const QStringList& filesWritten() const { return written_.files; }

    // The file name for a format's extension: "prisliste-" + ISO date + "." + extension.
    static QString fileName(QDate date, const QString& extension);

private:
    const DataSet& table_;
    ExportOptions options_;
    QString shopName_;
    QDate date_;
    ExportResult written_;
};

// The common parent folder of the files (the folder to offer to open).
QString commonFolder(const QStringList& files);
