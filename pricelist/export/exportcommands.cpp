#include "pricelist/export/exportcommands.h"

#include "common/Felles.h"
#include "common/errors.h"
#include "common/messages.h"
#include "db/dataset.h"
#include "pricelist/export/exportdialog.h"
#include "pricelist/export/exportjob.h"
#include "pricelist/export/exportprogress.h"
#include "pricelist/export/pricelistpages.h"
#include "pricelist/export/productrows.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdio>

namespace {
void endPendingEdit(DataSet& table)
{
    if (table.isEditing())
        table.moveTo(table.currentRow());
}

QString leftOutText(int count)
{
    if (count == 0)
        return {};
    return count == 1 ? QStringLiteral("1 bilde ble utelatt (mangler lokalt eller kan ikke leses).")
                      : QStringLiteral("%1 bilder ble utelatt (mangler lokalt eller kan ikke leses).").arg(count);
}

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
}

void exportPriceList(DataSet& table, const QString& shopName, QWidget* parent)
{
    endPendingEdit(table);
    ExportDialog dialog(parent);
    dialog.setOptions(loadExportOptions());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ExportOptions options = dialog.options();
    saveExportOptions(options);

    ExportJob job(table, options, shopName);
    ExportProgress progress(parent);
    job.progress = [&progress](qint64 done, qint64 total) { return progress.report(done, total); };
    const ExportResult result = job.run();

    QString text = QStringLiteral("Prislisten er lagret i:");
    for (const QString& file : result.files)
        text += QLatin1Char('\n') + QDir::toNativeSeparators(file);
    if (result.picturesLeftOut > 0)
        text += QStringLiteral("\n\n") + leftOutText(result.picturesLeftOut);
    text += QStringLiteral("\n\nVil du åpne mappen?");
    const MessageAnswer answer = showMessage(
        {QStringLiteral("Eksporter prisliste"), text, MessageIcon::Information, MessageButtons::OkCancel});
    if (answer == MessageAnswer::Ok)
        shellopen(commonFolder(result.files), QString(), QString());
}

void printPriceList(DataSet& table, const QString& shopName, QWidget* parent)
{
    endPendingEdit(table);
    QPrinter printer(QPrinter::HighResolution);
    PriceListPages::setUpPage(printer);
    printer.setDocName(QStringLiteral("Prisliste"));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ExportOptions options = loadExportOptions();
    const ProductRows products(table);
    const std::vector<int> rows = products.select(options.products);
    PriceListPages pages(products, rows, options.pictures, shopName, QDate::currentDate());
    ExportProgress progress(parent);
    qint64 done = 0;
    try {
        pages.paint(printer, [&] {
            if (++done % 200 == 0 && !progress.report(done, qint64(rows.size())))
                throw SilentAbort();
        });
    } catch (const SilentAbort&) {
        printer.abort(); // "Avbryt": the pages painted so far are not printed
        throw;
    }
    if (pages.picturesLeftOut() > 0)
        showMessage({QStringLiteral("Skriv ut"), leftOutText(pages.picturesLeftOut()), MessageIcon::Information,
                     MessageButtons::Ok});
}

void prepareWindowlessExport()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    setMessageHandler([](const MessageRequest& request) {
        printLine(stderr, QStringLiteral("prisliste: ") + request.text.trimmed());
        return MessageAnswer::Cancel;
    });
}

int exportFromCommandLine(DataSet& table, const QString& formats, const QString& shopName)
{
    ExportOptions options = loadExportOptions();
    options.pdf = options.csv = options.html = false;
    for (const QString& format : formats.split(QLatin1Char(','))) {
        const QString name = format.trimmed().toLower();
        if (name == QLatin1String("pdf"))
            options.pdf = true;
        else if (name == QLatin1String("csv"))
            options.csv = true;
        else if (name == QLatin1String("html"))
            options.html = true;
        else {
            printLine(stderr, QStringLiteral("prisliste: --export: ukjent format \"%1\" (bruk pdf, csv, html)").arg(format));
            return 2;
        }
    }
    ExportJob job(table, options, shopName);
    const auto printFiles = [&job] {
        for (const QString& file : job.filesWritten())
            printLine(stdout, QDir::toNativeSeparators(file));
    };
    try {
        endPendingEdit(table);
        const ExportResult result = job.run();
        printFiles();
        if (result.picturesLeftOut > 0)
            printLine(stderr, QStringLiteral("prisliste: ") + leftOutText(result.picturesLeftOut));
        return 0;
    } catch (const std::exception& e) {
        printFiles(); // a later format failed: the ones before it are there all the same
        const auto* own = dynamic_cast<const Error*>(&e);
        printLine(stderr, QStringLiteral("prisliste: ")
                              + withFullStop(own ? own->message() : QString::fromLocal8Bit(e.what())));
        return 1;
    }
}
