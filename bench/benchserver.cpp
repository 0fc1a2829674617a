#include "bench/benchserver.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

BenchServer::BenchServer(const char* bufferPool, const char* options)
    : script_(PRISLISTE_SOURCE_DIR "/scripts/mariadb-private"),
      folder_("/tmp/prisliste-bench-" + std::to_string(getpid()))
{
    setenv("MARIADB_PRIVATE_ARGS", (std::string("--innodb-buffer-pool-size=") + bufferPool + " " + options).c_str(), 1);
    if (std::system((script_ + " start " + folder_ + " --fresh >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "the benchmark's server did not start\n");
        std::exit(1);
    }
    FILE* f = std::fopen((folder_ + "/port").c_str(), "r");
    if (!f || std::fscanf(f, "%u", &port_) != 1) {
        std::fprintf(stderr, "no port from the benchmark's server\n");
        std::exit(1);
    }
    std::fclose(f);
}

BenchServer::~BenchServer()
{
    std::system((script_ + " stop " + folder_ + " >/dev/null").c_str());
    std::system(("rm -rf " + folder_).c_str());
}

ConnectionSettings BenchServer::programSettings() const
{
    ConnectionSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port_;
    s.user = QStringLiteral("prisliste");
    s.password = QStringLiteral("Blomst24");
    s.database = QStringLiteral("brisvald");
    return s;
}

void BenchServer::fill(int rows)
{
    DbConnection admin;
    ConnectionSettings s = programSettings();
    s.user = QStringLiteral("testadmin");
    s.password = QStringLiteral("Adm1nPas");
    admin.setSettings(s);
    admin.open();
    admin.execute("DELETE FROM product");
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
