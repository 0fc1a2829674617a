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
#include "db/connection.h"
#include "pricelist/producttable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mysql.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const selectText = "SELECT * FROM product ORDER BY web,producttext";
std::string folder;
unsigned port = 0;

ConnectionSettings programSettings()
{
    ConnectionSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.user = QStringLiteral("prisliste");
    s.password = QStringLiteral("Blomst24");
    s.database = QStringLiteral("brisvald");
    return s;
}

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

void fill(int rows)
{
    DbConnection admin;
    ConnectionSettings s = programSettings();
    s.user = QStringLiteral("testadmin");
    s.password = QStringLiteral("Adm1nPas");
    admin.setSettings(s);
    admin.open();
    static const char* const words[] = {"Roser", "Tulipaner", "Liljer", "Orkidé", "Sytråd", "Knapper", "Glidelås",
                                        "Garn", "Stoff", "Duftlys", "Vase", "Potte", "Gavekort", "Bånd", "Servietter"};
    static const char* const colours[] = {"røde", "hvite", "blå", "gule", "grønne", "svarte", "rosa", "lilla"};
    auto* rng = QRandomGenerator::global();
    for (int done = 0; done < rows;) {
        QByteArray sql = "INSERT INTO product (created, user_created, updated, rwx_user, rwx_group, rwx_all, picture, "
                         "object_text, productcode, EAN, producttext, piece, productgroup, lastpriceupdate, cost, "
                         "price, vatcode, instock, vendor, vendorid, sale, web, location) VALUES ";
        const int batch = std::min(1000, rows - done);
        for (int i = 0; i < batch; ++i, ++done) {
            const QString text = QStringLiteral("%1, %2 nr %3").arg(QString::fromUtf8(words[rng->bounded(15)]),
                                                                    QString::fromUtf8(colours[rng->bounded(8)])).arg(done);
            const bool pic = rng->bounded(3) == 0;
            const bool memo = rng->bounded(4) == 0;
            sql += (i ? ",(" : "(") + QByteArray("'2024-01-15', 1, '2025-11-20 10:15:00', 7, 7, 5, ");
            sql += pic ? "'bilder/vare" + QByteArray::number(done) + ".jpg', " : QByteArray("NULL, ");
            sql += memo ? admin.quoted(QStringLiteral("Beskrivelse av %1. Leveres i gaveeske.").arg(text).toLatin1()) + ", "
                        : QByteArray("NULL, ");
            sql += "'15.01.2024 10:1" + QByteArray::number(done % 10) + ":00', '70" + QByteArray::number(1000000000 + done)
                   + "', " + admin.quoted(text.toLatin1()) + ", 'stk', 'Gruppe " + QByteArray::number(done % 12) + "', "
                   + "'2025-06-01 08:00:00', " + QByteArray::number(rng->bounded(50000) / 100.0) + ", "
                   + QByteArray::number(rng->bounded(100000) / 100.0) + ", 1, " + QByteArray::number(rng->bounded(40))
                   + ", " + QByteArray::number(rng->bounded(20)) + ", 'LEV-" + QByteArray::number(done % 977) + "', "
                   + QByteArray::number(rng->bounded(2)) + ", " + QByteArray::number(rng->bounded(2)) + ", 'Hylle "
                   + QByteArray::number(done % 40) + "')";
        }
        admin.execute(sql);
    }
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
    connection.setSettings(programSettings());
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
};

// Runs one side in a child process: its wall time and its peak resident size.
Run inChild(double (*side)())
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(3);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        const double s = side();
        if (write(pipeFds[1], &s, sizeof s) != sizeof s)
            _exit(4);
        _exit(0);
    }
    close(pipeFds[1]);
    double seconds = 0;
    if (read(pipeFds[0], &seconds, sizeof seconds) != sizeof seconds)
        std::exit(5);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {seconds, usage.ru_maxrss};
}

void benchOpen()
{
    const Run base = inChild(baseline);
    Run bestWalk{1e9, 0}, bestTable{1e9, 0};
    for (int rep = 0; rep < 3; ++rep) {
        const Run w = inChild(walk);
        const Run t = inChild(openTable);
        bestWalk = {std::min(bestWalk.seconds, w.seconds), std::max(bestWalk.peakKiB, w.peakKiB)};
        bestTable = {std::min(bestTable.seconds, t.seconds), std::max(bestTable.peakKiB, t.peakKiB)};
    }
    std::printf("open   walk  %.3f s  peak %6.1f MiB (%6.1f above the connected process)\n", bestWalk.seconds,
                bestWalk.peakKiB / 1024.0, (bestWalk.peakKiB - base.peakKiB) / 1024.0);
    std::printf("open   table %.3f s  peak %6.1f MiB (%6.1f above the connected process)\n", bestTable.seconds,
                bestTable.peakKiB / 1024.0, (bestTable.peakKiB - base.peakKiB) / 1024.0);
    std::printf("open   ratio time %.2f  peak %.2f  (above baseline %.2f)\n", bestTable.seconds / bestWalk.seconds,
                double(bestTable.peakKiB) / double(bestWalk.peakKiB),
                double(bestTable.peakKiB - base.peakKiB) / double(bestWalk.peakKiB - base.peakKiB));
}

void benchPost()
{
    DbConnection connection;
    connection.setSettings(programSettings());
    ProductTable table(connection);
    table.open();
    MYSQL* raw = rawConnect();
    table.first();
    const int id = table.MyTableid->asInteger();
    table.next();
    const int rawId = table.MyTableid->asInteger();
    const int rounds = 2000;
    double tableSeconds = 1e9, rawSeconds = 1e9;
    for (int rep = 0; rep < 3; ++rep) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            const QByteArray sql = "UPDATE product\r\nSET\r\n  price = " + QByteArray::number(100 + i % 2)
                                   + "\r\nWHERE\r\n  id = " + QByteArray::number(rawId);
            if (mysql_real_query(raw, sql.constData(), unsigned(sql.size())) != 0 || mysql_affected_rows(raw) != 1)
                std::exit(6);
        }
        rawSeconds = std::min(rawSeconds, timer.nsecsElapsed() / 1e9 / rounds);
        timer.restart();
        for (int i = 0; i < rounds; ++i) {
            table.edit();
            table.MyTableprice->setAsFloat(100 + i % 2);
            table.post();
        }
        tableSeconds = std::min(tableSeconds, timer.nsecsElapsed() / 1e9 / rounds);
    }
    (void)id;
    std::printf("post   raw   %.3f ms per UPDATE round trip\n", rawSeconds * 1e3);
    std::printf("post   table %.3f ms per edit posted\n", tableSeconds * 1e3);
    std::printf("post   ratio %.2f\n", tableSeconds / rawSeconds);
    mysql_close(raw);
}

int run(const char* script, int rows)
{
    folder = "/tmp/prisliste-bench-" + std::to_string(getpid());
    if (std::system((std::string(script) + " start " + folder + " --fresh >/dev/null").c_str()) != 0)
        return 1;
    FILE* f = std::fopen((folder + "/port").c_str(), "r");
    if (!f || std::fscanf(f, "%u", &port) != 1)
        return 1;
    std::fclose(f);
    fill(rows);
    std::printf("%d products\n", rows);
    benchOpen();
    benchPost();
    std::system((std::string(script) + " stop " + folder + " >/dev/null").c_str());
    std::system(("rm -rf " + folder).c_str());
    return 0;
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    return run(PRISLISTE_SOURCE_DIR "/scripts/mariadb-private", rows);
}
