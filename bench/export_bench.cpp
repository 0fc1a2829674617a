// The exports of the price list against the start-up open of the same table, on a
// private server holding N realistic products (default 100,000).
//
//   bench_export [rows] [repetitions] [picture rows]
//
// Each side runs in a child process of its own, the sides interleaved, and prints
// min / median / max: "open" = MyTable's open as at start-up (connect, select, every row
// into the record store); "csv" and "pdf" = the export of every product into its folder,
// timed after the table is open, as "Eksporter..." and "--export" run it. The PDF side
// also samples its resident size at 10 %, 50 % and 100 % of the pages: a list whose
// memory grows with the pages shows it there.
//
// With picture rows (a third argument above 0), a second table of that many products, each
// with a 320 x 240 JPEG of its own in the local document folder, is exported as PDF with
// and without pictures, against the decoding of the same files alone through the export's
// picture loader: what the pictures add to the export beside what decoding them costs.
//
// Left out: pictures in the first part (the products have references but no local files),
// the progress bar and the print dialog, fsync of the files, the server's own disk, and a
// cold page cache for the picture files.
#include "bench/benchserver.h"
#include "bench/childrun.h"
#include "common/hs_reg.h"
#include "common/startup.h"
#include "pricelist/export/exportjob.h"
#include "pricelist/export/exportpicture.h"
#include "pricelist/producttable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <mysql.h>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

const BenchServer* server = nullptr;

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double residentMiB()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Wall and CPU seconds of the open.
std::vector<double> openSide()
{
    const double cpu = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    DbConnection connection;
    connection.setSettings(server->programSettings());
    ProductTable table(connection);
    table.open();
    return {timer.nsecsElapsed() / 1e9, cpuSeconds() - cpu};
}

// The export of one format after an untimed open: wall and CPU seconds, the resident
// size before and at 10 %, 50 % and 100 % of the products written, the file's size.
std::vector<double> exportSide(bool pdf, bool pictures = false)
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    ProductTable table(connection);
    table.open();
    ExportOptions options;
    options.pdf = pdf;
    options.csv = !pdf;
    options.html = false;
    options.pictures = pictures;
    ExportJob job(table, options, QStringLiteral("Brisvald Blomster Søm & Shop"));
    double at10 = 0, at50 = 0;
    job.progress = [&](qint64 done, qint64 total) {
        if (at10 == 0 && done * 10 >= total && done > 0)
            at10 = residentMiB();
        if (at50 == 0 && done * 2 >= total && done > 0)
            at50 = residentMiB();
        return true;
    };
    const double before = residentMiB();
    const double cpu = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    const ExportResult result = job.run();
    const double seconds = timer.nsecsElapsed() / 1e9;
    return {seconds, cpuSeconds() - cpu, before, at10, at50, residentMiB(), double(QFileInfo(result.files.at(0)).size())};
}

void print(const char* name, const char* what, const std::vector<double>& seconds)
{
    const Spread s = spreadOf(seconds);
    std::printf("%-5s %-4s min %7.3f s  median %7.3f s  max %7.3f s\n", name, what, s.min, s.median, s.max);
}

void ratio(const char* name, const std::vector<double>& side, const std::vector<double>& open, const char* goal)
{
    const Spread s = spreadOf(side), o = spreadOf(open);
    std::printf("%s  median %.3f  min %.3f  max %.3f  (goal %s)\n", name, s.median / o.median, s.min / o.min,
                s.max / o.max, goal);
}

// Every product's picture as a file of its own (no shared inode a cache could key on).
void writePictures(const QString& folder, int rows)
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    connection.open();
    connection.execute("UPDATE product SET picture = CONCAT('bilder/vare', id, '.jpg')");
    QDir().mkpath(folder + QStringLiteral("bilder"));
    MYSQL_RES* ids = connection.query("SELECT id FROM product");
    QImage picture(320, 240, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    int written = 0;
    while (MYSQL_ROW row = mysql_fetch_row(ids)) {
        picture.fill(QColor::fromHsv(rng.bounded(360), 120, 230));
        QPainter painter(&picture);
        painter.setBrush(QColor::fromHsv(rng.bounded(360), 200, 180));
        for (int petal = 0; petal < 6; ++petal)
            painter.drawEllipse(QPoint(160 + rng.bounded(-60, 60), 120 + rng.bounded(-40, 40)), 40, 25);
        painter.end();
        picture.save(folder + QStringLiteral("bilder/vare%1.jpg").arg(QString::fromLatin1(row[0])), "JPEG", 85);
        ++written;
    }
    mysql_free_result(ids);
    std::printf("%d picture files written\n", written);
}

// The export's picture loader over every product's picture, as the PDF asks for them.
std::vector<double> decodeSide()
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    ProductTable table(connection);
    table.open();
    std::vector<QString> references;
    for (int row = 0; row < table.recordCount(); ++row) {
        table.moveTo(row);
        references.push_back(table.MyTablepicture->asString());
    }
    const double cpu = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    int decoded = 0;
    for (const QString& reference : references)
        decoded += loadExportPicture(reference, 200).isNull() ? 0 : 1;
    return {timer.nsecsElapsed() / 1e9, cpuSeconds() - cpu, double(decoded)};
}

// Wall and CPU seconds of one side over the runs.
struct Timings {
    std::vector<double> wall, cpu;
    void add(const ChildRun& run)
    {
        wall.push_back(run.values.at(0));
        cpu.push_back(run.values.at(1));
    }
    void print(const char* name) const
    {
        ::print(name, "wall", wall);
        ::print(name, "cpu", cpu);
    }
};

int runPictures(BenchServer& products, int rows, int repetitions, const QString& docs)
{
    products.fill(rows);
    writePictures(docs, rows);
    std::printf("%d products, each with its own picture, %d runs per side\n", rows, repetitions);
    Timings plain, withPictures, decode;
    double decoded = 0;
    for (int rep = 0; rep < repetitions; ++rep) {
        plain.add(inChild([] { return exportSide(true); }));
        withPictures.add(inChild([] { return exportSide(true, true); }));
        const ChildRun d = inChild(decodeSide);
        decode.add(d);
        decoded = d.values.at(2);
    }
    plain.print("pdf");
    withPictures.print("pdf+p");
    decode.print("dec");
    const double added = spreadOf(withPictures.wall).median - spreadOf(plain.wall).median;
    std::printf("pictures decoded %.0f; the pictures add %.3f s (median) to the PDF, decoding them alone "
                "takes %.3f s: %.2fx the decode cost\n",
                decoded, added, spreadOf(decode.wall).median, added / spreadOf(decode.wall).median);
    return 0;
}

int run(BenchServer& products, int rows, int repetitions)
{
    products.fill(rows);
    server = &products;
    std::printf("%d products, %d runs per side\n", rows, repetitions);
    std::vector<double> open, csv, pdf, openCpu, csvCpu, pdfCpu;
    long openPeak = 0, csvPeak = 0, pdfPeak = 0;
    std::vector<double> lastPdf;
    for (int rep = 0; rep < repetitions; ++rep) {
        const ChildRun o = inChild(openSide);
        const ChildRun c = inChild([] { return exportSide(false); });
        const ChildRun p = inChild([] { return exportSide(true); });
        open.push_back(o.values.at(0));
        openCpu.push_back(o.values.at(1));
        csv.push_back(c.values.at(0));
        csvCpu.push_back(c.values.at(1));
        pdf.push_back(p.values.at(0));
        pdfCpu.push_back(p.values.at(1));
        openPeak = std::max(openPeak, o.peakKiB);
        csvPeak = std::max(csvPeak, c.peakKiB);
        pdfPeak = std::max(pdfPeak, p.peakKiB);
        lastPdf = p.values;
    }
    print("open", "wall", open);
    print("open", "cpu", openCpu);
    print("csv", "wall", csv);
    print("csv", "cpu", csvCpu);
    print("pdf", "wall", pdf);
    print("pdf", "cpu", pdfCpu);
    ratio("ratio csv/open wall", csv, open, "<= 0.3");
    ratio("ratio csv/open cpu ", csvCpu, openCpu, "<= 0.3");
    ratio("ratio pdf/open wall", pdf, open, "<= 3");
    ratio("ratio pdf/open cpu ", pdfCpu, openCpu, "<= 3");
    std::printf("peak resident: open %.1f MiB, open + csv %.1f MiB, open + pdf %.1f MiB\n", openPeak / 1024.0,
                csvPeak / 1024.0, pdfPeak / 1024.0);
    std::printf("pdf resident after open %.1f MiB; at 10 %% %.1f, 50 %% %.1f, 100 %% %.1f MiB of the pages; "
                "file %.1f MiB\n",
                lastPdf.at(2), lastPdf.at(3), lastPdf.at(4), lastPdf.at(5), lastPdf.at(6) / (1024.0 * 1024.0));
    return 0;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir appData;
    qputenv("APPDATA", appData.path().toLocal8Bit());
    QDir::setCurrent(appData.path());
    startup({}, appData.path() + QStringLiteral("/bin/prisliste"));
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    const int pictureRows = argc > 3 ? std::atoi(argv[3]) : 0;
    int result = 0;
    {
        BenchServer products;
        result = run(products, rows, repetitions);
        if (result == 0 && pictureRows > 0) {
            const QString docs = appData.path() + QStringLiteral("/docs/");
            writeinistring(QStringLiteral("DOC_LOCAL"), docs);
            result = runPictures(products, pictureRows, repetitions, docs);
        }
    }
    shutdown();
    return result;
}
