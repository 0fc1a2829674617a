#include "bench/productserver.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

ProductServer::ProductServer(const char* script, int rows)
    : script_(script), folder_("/tmp/prisliste-bench-" + std::to_string(getpid()))
{
    setenv("MARIADB_PRIVATE_ARGS", "--innodb-buffer-pool-size=256M", 1);
    if (std::system((script_ + " start " + folder_ + " --fresh >/dev/null").c_str()) != 0)
        std::exit(1);
    FILE* f = std::fopen((folder_ + "/port").c_str(), "r");
    if (!f || std::fscanf(f, "%u", &port_) != 1)
        std::exit(1);
    std::fclose(f);
    fill(rows);
}

ProductServer::~ProductServer()
{
    std::system((script_ + " stop " + folder_ + " >/dev/null").c_str());
    std::system(("rm -rf " + folder_).c_str());
}

ConnectionSettings ProductServer::programSettings() const
{
    ConnectionSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port_;
    s.user = QStringLiteral("prisliste");
    s.password = QStringLiteral("Blomst24");
    s.database = QStringLiteral("brisvald");
    return s;
}

ConnectionSettings ProductServer::adminSettings() const
{
    ConnectionSettings s = programSettings();
    s.user = QStringLiteral("testadmin");
    s.password = QStringLiteral("Adm1nPas");
    return s;
}

void ProductServer::fill(int rows)
{
    DbConnection admin;
    admin.setSettings(adminSettings());
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

ChildRun inChild(const std::function<std::vector<double>()>& side)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(3);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        double values[17] = {};
        const std::vector<double> result = side();
        values[0] = double(std::min<size_t>(result.size(), 16));
        std::copy_n(result.begin(), size_t(values[0]), values + 1);
        if (write(pipeFds[1], values, sizeof values) != sizeof values)
            _exit(4);
        _exit(0);
    }
    close(pipeFds[1]);
    double values[17] = {};
    if (read(pipeFds[0], values, sizeof values) != sizeof values)
        std::exit(5);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    ChildRun run;
    run.values.assign(values + 1, values + 1 + int(values[0]));
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}
