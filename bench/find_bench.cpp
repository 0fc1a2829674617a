// Refresh, type-ahead and find with N products (default 1,000,000) on a private server.
//
//   bench_find [rows [find]]       ("find": type-ahead and find only)
//
// Refresh against the start-up open, each run in a child process of its own so its
// figures are its own, the two sides interleaved: "open" = MyTable's open in a process
// that holds nothing yet; "refresh" = MyTable read again in a process that already holds
// the records. Wall time, and memory above the connected process: the records after the
// open, and the peak while refreshing (the peak is reset just before the refresh).
//
// Type-ahead and find run on the list grid (offscreen) over the same table, each
// keystroke or step followed by the repaint: a keystroke that starts a new search and
// finds nothing (every row read), one that moves to another product, against the Down
// key (an ordinary move); a new find text (every text and description read, matches
// counted), and a step to the next match of a text already searched.
//
// Left out: the server's own work beyond the select (its buffer pool holds the table),
// painting on a real screen, and the window manager.
#include "bench/benchserver.h"
#include "db/datasource.h"
#include "dbcontrols/dbgrid.h"
#include "find/productfinder.h"
#include "pricelist/producttable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const BenchServer* server = nullptr;

long statusKiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').front().toLong();
    return 0;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Run {
    double seconds = 0;
    double cpu = 0;      // the client's own CPU time (the machine may be shared)
    long recordsKiB = 0; // resident after the open, above the connected process
    long peakKiB = 0;    // highest resident while the side ran, above the connected process
};

Run sideOpen()
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    connection.open();
    const long base = statusKiB("VmRSS:");
    resetPeak();
    ProductTable table(connection);
    QElapsedTimer timer;
    const double cpu = cpuSeconds();
    timer.start();
    table.open();
    Run r;
    r.seconds = timer.nsecsElapsed() / 1e9;
    r.cpu = cpuSeconds() - cpu;
    r.recordsKiB = statusKiB("VmRSS:") - base;
    r.peakKiB = statusKiB("VmHWM:") - base;
    return r;
}

Run sideRefresh()
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    connection.open();
    const long base = statusKiB("VmRSS:");
    ProductTable table(connection);
    table.open();
    table.moveTo(table.recordCount() / 2);
    Run r;
    r.recordsKiB = statusKiB("VmRSS:") - base;
    resetPeak();
    QElapsedTimer timer;
    const double cpu = cpuSeconds();
    timer.start();
    table.refresh();
    r.seconds = timer.nsecsElapsed() / 1e9;
    r.cpu = cpuSeconds() - cpu;
    r.peakKiB = statusKiB("VmHWM:") - base;
    return r;
}

Run inChild(Run (*side)())
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(3);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const Run r = side();
        _exit(write(fds[1], &r, sizeof r) == sizeof r ? 0 : 4);
    }
    close(fds[1]);
    Run r;
    if (read(fds[0], &r, sizeof r) != sizeof r)
        std::exit(5);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return r;
}

struct Spread {
    double min, median, max;
};

Spread spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void benchRefresh()
{
    std::vector<double> open, refresh, openCpu, refreshCpu, openMiB, refreshRecordsMiB, refreshPeakMiB;
    for (int rep = 0; rep < 3; ++rep) {
        const Run o = inChild(sideOpen);
        const Run r = inChild(sideRefresh);
        open.push_back(o.seconds);
        refresh.push_back(r.seconds);
        openCpu.push_back(o.cpu);
        refreshCpu.push_back(r.cpu);
        openMiB.push_back(o.recordsKiB / 1024.0);
        refreshRecordsMiB.push_back(r.recordsKiB / 1024.0);
        refreshPeakMiB.push_back(r.peakKiB / 1024.0);
    }
    const Spread o = spread(open), r = spread(refresh);
    std::printf("open     %.3f / %.3f / %.3f s (min/median/max), records %.1f MiB\n", o.min, o.median, o.max,
                spread(openMiB).median);
    std::printf("refresh  %.3f / %.3f / %.3f s (min/median/max)\n", r.min, r.median, r.max);
    std::printf("refresh/open time ratio: min %.2f  median %.2f  (goal <= 1.10)\n", r.min / o.min, r.median / o.median);
    const Spread oc = spread(openCpu), rc = spread(refreshCpu);
    std::printf("client cpu  open %.3f / %.3f / %.3f s  refresh %.3f / %.3f / %.3f s  ratio min %.2f median %.2f\n",
                oc.min, oc.median, oc.max, rc.min, rc.median, rc.max, rc.min / oc.min, rc.median / oc.median);
    const Spread records = spread(refreshRecordsMiB), peak = spread(refreshPeakMiB);
    std::printf("refresh peak %.1f MiB over records of %.1f MiB: %.2f x the records (goal <= 2.00: old + new)\n",
                peak.median, records.median, peak.median / records.median);
}

struct Timing {
    Spread wall, cpu;
};

template <class F>
Timing timed(int rounds, F&& f)
{
    std::vector<double> wall, cpu;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        const double c = cpuSeconds();
        timer.start();
        f(i);
        QApplication::processEvents();
        wall.push_back(timer.nsecsElapsed() / 1e9);
        cpu.push_back(cpuSeconds() - c);
    }
    return {spread(wall), spread(cpu)};
}

void printMs(const char* what, const Timing& t)
{
    std::printf("%-34s wall min %7.2f  median %7.2f  max %7.2f ms | cpu median %7.2f ms\n", what, t.wall.min * 1e3,
                t.wall.median * 1e3, t.wall.max * 1e3, t.cpu.median * 1e3);
}

void benchFind()
{
    DbConnection connection;
    connection.setSettings(server->programSettings());
    ProductTable table(connection);
    DataSource source;
    source.setDataSet(&table);
    DBGrid grid;
    grid.resize(409, 360);
    grid.setColumns({{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300},
                     {QStringLiteral("utpris"), QStringLiteral("Pris"), Qt::AlignRight, Qt::AlignRight, 0}});
    grid.setDataSource(&source);
    table.open();
    grid.show();
    QApplication::processEvents();
    qint64 now = 0;
    grid.typeAhead().clock = [&now] { return now; };
    const int rounds = 21;

    const Timing down = timed(rounds, [&](int) { QTest::keyClick(&grid, Qt::Key_Down); });
    const Timing miss = timed(rounds, [&](int) {
        now += TypeAhead::pauseMs;
        QTest::keyClick(&grid, Qt::Key_Q); // no product begins with "q"
    });
    const Timing move = timed(rounds, [&](int i) {
        now += TypeAhead::pauseMs;
        QTest::keyClick(&grid, i % 2 ? Qt::Key_T : Qt::Key_R); // Roser <-> Tulipaner
    });
    printMs("key Down (an ordinary move)", down);
    printMs("type-ahead, nothing found", miss);
    printMs("type-ahead, moves", move);
    std::printf("type-ahead / Down median ratio: nothing found %.1f, moves %.1f (goal < 50 ms)\n",
                miss.wall.median / down.wall.median, move.wall.median / down.wall.median);

    ProductFinder finder(source, {table.MyTableproducttext, table.MyTableobject_text});
    const QStringList texts{"roser røde", "gaveeske liljer", "orkidé", "zzz"};
    const Timing search = timed(rounds, [&](int i) {
        finder.setText(texts[i % texts.size()]);
        finder.next();
        (void)finder.countText();
    });
    finder.setText(QStringLiteral("roser røde"));
    finder.next();
    const Timing step = timed(rounds, [&](int) {
        finder.next();
        (void)finder.countText();
    });
    std::printf("find \"roser røde\": %d matches\n", finder.matchCount());
    printMs("find, a new text (all rows read)", search);
    printMs("find, step to the next match", step);
    std::printf("find / Down median ratio: new text %.1f, step %.1f (goal < 50 ms)\n",
                search.wall.median / down.wall.median, step.wall.median / down.wall.median);
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    BenchServer benchServer("1G");
    if (benchServer.port() == 0)
        return 1;
    server = &benchServer;
    benchServer.fill(rows);
    std::printf("%d products\n", rows);
    if (argc <= 2 || std::strcmp(argv[2], "find") != 0)
        benchRefresh();
    benchFind();
    return 0;
}
