// Opening the product table and posting one edit, each against its plain libmariadb
// counterpart, on a private server holding N realistic products (default 100,000).
//
//   bench_table [rows]
//
// The open runs in child processes (one per side and repetition) so each peak resident
// size is that side's own: "walk" = mysql_store_result over the same select with every
// field touched; "table" = MyTable's open (rows streamed into the record store, out-price
// computed). The post compares one edit posted through MyTable with one raw
// mysql_real_query of the same UPDATE.
#include "bench/benchserver.h"
#include "bench/childrun.h"
#include "db/connection.h"
#include "pricelist/producttable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <mysql.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const selectText = "SELECT * FROM product ORDER BY web,producttext";
unsigned port = 0;
ConnectionSettings settings;

MYSQL* rawConnect()
{
    MYSQL* m = mysql_init(nullptr);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, "127.0.0.1", "prisliste", "Blomst24", "brisvald", port, nullptr,
                            CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS)) {
        std::fprintf(stderr, "connect: %s\n", mysql_error(m));
        std::exit(1);
    }
    return m;
}

double walk()
{
    QElapsedTimer timer;
    timer.start();
    MYSQL* m = rawConnect();
    if (mysql_real_query(m, selectText, unsigned(std::strlen(selectText))) != 0)
        std::exit(2);
    MYSQL_RES* result = mysql_store_result(m);
    const unsigned n = mysql_num_fields(result);
    unsigned long long touched = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned i = 0; i < n; ++i)
            touched += lengths[i] + (row[i] ? static_cast<unsigned char>(row[i][0]) : 0);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "%llu\n", touched);
    mysql_free_result(result);
    mysql_close(m);
    return seconds;
}

double openTable()
{
    QElapsedTimer timer;
    timer.start();
    DbConnection connection;
    connection.setSettings(settings);
    ProductTable table(connection);
    table.open();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "%d\n", table.recordCount());
    return seconds;
}

double baseline()
{
    MYSQL* m = rawConnect();
    mysql_close(m);
    return 0;
}

struct Run {
    double seconds;
    long peakKiB;
    double cpuSeconds; // the client's own share (user + system)
};

// Runs one side in a child process: its wall time and its peak resident size.
Run inChild(double (*side)())
{
    const ChildRun run = ::inChild([side] { return std::vector<double>{side()}; });
    return {run.values.at(0), run.peakKiB, run.cpuSeconds};
}

void benchOpen()
{
    const Run base = inChild(baseline);
    Run bestWalk{1e9, 0, 1e9}, bestTable{1e9, 0, 1e9};
    for (int rep = 0; rep < 3; ++rep) {
        const Run w = inChild(walk);
        const Run t = inChild(openTable);
        bestWalk = {std::min(bestWalk.seconds, w.seconds), std::max(bestWalk.peakKiB, w.peakKiB),
                    std::min(bestWalk.cpuSeconds, w.cpuSeconds)};
        bestTable = {std::min(bestTable.seconds, t.seconds), std::max(bestTable.peakKiB, t.peakKiB),
                     std::min(bestTable.cpuSeconds, t.cpuSeconds)};
    }
    std::printf("open   walk  %.3f s  peak %6.1f MiB (%6.1f above the connected process)\n", bestWalk.seconds,
                bestWalk.peakKiB / 1024.0, (bestWalk.peakKiB - base.peakKiB) / 1024.0);
    std::printf("open   table %.3f s  peak %6.1f MiB (%6.1f above the connected process)\n", bestTable.seconds,
                bestTable.peakKiB / 1024.0, (bestTable.peakKiB - base.peakKiB) / 1024.0);
    std::printf("open   client cpu walk %.3f s  table %.3f s  ratio %.2f\n", bestWalk.cpuSeconds, bestTable.cpuSeconds,
                bestTable.cpuSeconds / bestWalk.cpuSeconds);
    std::printf("open   ratio time %.2f  peak %.2f  (above baseline %.2f)\n", bestTable.seconds / bestWalk.seconds,
                double(bestTable.peakKiB) / double(bestWalk.peakKiB),
                double(bestTable.peakKiB - base.peakKiB) / double(bestWalk.peakKiB - base.peakKiB));
}

void benchPost()
{
    DbConnection connection;
    connection.setSettings(settings);
    ProductTable table(connection);
    table.open();
    MYSQL* raw = rawConnect();
    table.first();
    const int id = table.MyTableid->asInteger();
    table.next();
    const int rawId = table.MyTableid->asInteger();
    // One raw statement and one posted edit in turn, each timed; the medians compare
    // (the machine is shared, so single slow round trips are common on both sides).
    const int rounds = 4000;
    std::vector<double> rawTimes, tableTimes;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        const QByteArray sql = "UPDATE product\r\nSET\r\n  price = " + QByteArray::number(100 + i % 2)
                               + "\r\nWHERE\r\n  id = " + QByteArray::number(rawId);
        timer.start();
        if (mysql_real_query(raw, sql.constData(), unsigned(sql.size())) != 0 || mysql_affected_rows(raw) != 1)
            std::exit(6);
        rawTimes.push_back(timer.nsecsElapsed() / 1e9);
        timer.start();
        table.edit();
        table.MyTableprice->setAsFloat(100 + i % 2);
        table.post();
        tableTimes.push_back(timer.nsecsElapsed() / 1e9);
    }
    const auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    const double rawSeconds = median(rawTimes), tableSeconds = median(tableTimes);
    (void)id;
    std::printf("post   raw   %.3f ms per UPDATE round trip (median)\n", rawSeconds * 1e3);
    std::printf("post   table %.3f ms per edit posted (median)\n", tableSeconds * 1e3);
    std::printf("post   ratio %.2f\n", tableSeconds / rawSeconds);
    mysql_close(raw);
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    BenchServer server;
    port = server.port();
    settings = server.programSettings();
    server.fill(rows);
    std::printf("%d products\n", rows);
    benchOpen();
    benchPost();
    return 0;
}
