#include "pricelist/export/exportjob.h"

#include "common/errors.h"
#include "common/hs_reg.h"
#include "pricelist/export/csvexport.h"
#include "pricelist/export/exportfile.h"
#include "pricelist/export/htmlexport.h"
#include "pricelist/export/pricelistpages.h"
#include "pricelist/export/productrows.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>

ExportJob::ExportJob(const DataSet& table, ExportOptions options, QString shopName, QDate date)
    : table_(table), options_(options), shopName_(std::move(shopName)), date_(date)
{
}

QString ExportJob::fileName(QDate date, const QString& extension)
{
    return QStringLiteral("prisliste-") + date.toString(Qt::ISODate) + QLatin1Char('.') + extension;
}

ExportResult ExportJob::run()
{
    const ProductRows products(table_);
    const std::vector<int> rows = products.select(options_.products);
    const qint64 total = qint64(rows.size()) * (int(options_.pdf) + int(options_.csv) + int(options_.html));
    qint64 done = 0;
    const ExportStep step = [&] {
        ++done;
        // Asking for every product would cost more than the writing.
        if (progress && (done % 200 == 0 || done == total) && !progress(done, total))
            throw SilentAbort();
    };
    if (progress && !progress(0, total))
        throw SilentAbort();

    written_ = ExportResult();
    ExportResult& result = written_;
    // Every folder is checked before anything is written.
    const QString pdfFolder = options_.pdf ? kvarnelopath(QStringLiteral("export\\pdf")) : QString();
    const QString csvFolder = options_.csv ? kvarnelopath(QStringLiteral("export\\csv")) : QString();
    const QString htmlFolder = options_.html ? kvarnelopath(QStringLiteral("export\\html")) : QString();
    const QString picturesFolder =
        options_.html && options_.pictures ? kvarnelopath(QStringLiteral("export\\html\\varer")) : QString();
    for (const QString& folder : {pdfFolder, csvFolder, htmlFolder, picturesFolder})
        if (!folder.isEmpty())
            checkExportFolder(folder);

    int pdfLeftOut = 0;
    int htmlLeftOut = 0;
    if (options_.pdf) {
        ExportFile file(pdfFolder, fileName(date_, QStringLiteral("pdf")));
        {
            QPdfWriter writer(&file.device());
            writer.setCreator(shopName_);
            writer.setTitle(QStringLiteral("Prisliste"));
            writer.setResolution(300);
            PriceListPages::setUpPage(writer);
            PriceListPages pages(products, rows, options_.pictures, shopName_, date_);
            pages.paint(writer, step);
            pdfLeftOut = pages.picturesLeftOut();
        }
        file.commit();
        result.files << file.path();
    }
    if (options_.csv) {
        ExportFile file(csvFolder, fileName(date_, QStringLiteral("csv")));
        writeCsv(products, rows, file.device(), step);
        file.commit();
        result.files << file.path();
    }
    if (options_.html) {
        ExportFile file(htmlFolder, fileName(date_, QStringLiteral("html")));
        HtmlPriceList page(products, rows, shopName_, date_);
        if (options_.pictures)
            page.setPictures(htmlFolder, picturesFolder);
        page.write(file.device(), step);
        file.commit();
        result.files << file.path();
        htmlLeftOut = page.picturesLeftOut();
    }
    // Both formats read the same pictures: a picture left out is counted once.
    result.picturesLeftOut = std::max(pdfLeftOut, htmlLeftOut);
    return result;
}

QString commonFolder(const QStringList& files)
{
    if (files.isEmpty())
        return {};
    const auto withSlash = [](const QString& path) {
        return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    };
    QString common = QFileInfo(files.front()).absolutePath();
    for (const QString& file : files) {
        const QString folder = withSlash(QFileInfo(file).absolutePath());
        while (!folder.startsWith(withSlash(common))) {
            const QString parent = QFileInfo(common).path();
            if (parent == common)
                break;
            common = parent;
        }
    }
    return QDir::toNativeSeparators(common);
}
