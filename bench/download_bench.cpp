// The download window against curl on the same loopback server, in the same run:
// one 256 MiB file, then 1,000 small files over one kept-alive connection.

#include "common/messages.h"
#include "tests/support/httptestserver.h"
#include "webdocs/HttpDownload.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 bigSize = qint64(256) << 20;
constexpr int smallCount = 1000;
constexpr int smallSize = 4096;
constexpr int rounds = 3;

double runCurl(const QStringList& arguments)
{
    QElapsedTimer timer;
    timer.start();
    QProcess curl;
    curl.start(QStringLiteral("curl"), arguments);
    if (!curl.waitForFinished(-1) || curl.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

void report(const char* name, double ours, double curl, double amount, const char* unit)
{
    std::printf("%-34s prisliste %8.3f s (%9.1f %s/s)   curl %8.3f s (%9.1f %s/s)   ratio %.2f\n", name, ours,
                amount / ours, unit, curl, amount / curl, unit, curl / ours);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageHandler([](const MessageRequest& r) {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MessageAnswer::Ok;
    });

    QTemporaryDir folder(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    check(folder.isValid(), "temporary folder");
    const QString dir = folder.path() + QStringLiteral("/");

    HttpTestServer server;
    const HttpAnswer big = HttpAnswer::withLength(200, "OK", QByteArray(bigSize, 'b'));
    const HttpAnswer small = HttpAnswer::withLength(200, "OK", QByteArray(smallSize, 's'));
    server.setHandler([&](const QByteArray& head) { return head.startsWith("GET /big") ? big : small; });

    THttpDownloadForm form;

    // One large file.
    double oursBig = 1e9, curlBig = 1e9;
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(dir + QStringLiteral("big-curl.bin"));
        QFile::remove(dir + QStringLiteral("big.bin"));
        curlBig = std::min(curlBig, runCurl({QStringLiteral("-s"), QStringLiteral("-o"),
                                             dir + QStringLiteral("big-curl.bin"), server.url(QStringLiteral("/big"))}));
        QElapsedTimer timer;
        timer.start();
        check(downloadtofile(dir + QStringLiteral("big.bin"), server.url(QStringLiteral("/big"))), "big download");
        oursBig = std::min(oursBig, double(timer.nsecsElapsed()) / 1e9);
        check(QFileInfo(dir + QStringLiteral("big.bin")).size() == bigSize, "big size");
    }
    report("256 MiB file", oursBig, curlBig, double(bigSize) / (1 << 20), "MiB");

    // Many small files: curl fetches them all in one run over one connection.
    {
        QFile config(dir + QStringLiteral("curl.cfg"));
        check(config.open(QIODevice::WriteOnly), "curl config");
        QTextStream out(&config);
        for (int i = 0; i < smallCount; ++i)
            out << "url = \"" << server.url(QStringLiteral("/small/%1.jpg").arg(i)) << "\"\noutput = \"" << dir
                << "c" << i << ".jpg\"\n";
    }
    double oursSmall = 1e9, curlSmall = 1e9;
    for (int round = 0; round < rounds; ++round) {
        // Both sides create their files anew in every round.
        for (int i = 0; i < smallCount; ++i) {
            QFile::remove(dir + QStringLiteral("c%1.jpg").arg(i));
            QFile::remove(dir + QStringLiteral("p%1.jpg").arg(i));
        }
        curlSmall = std::min(curlSmall, runCurl({QStringLiteral("-s"), QStringLiteral("-K"), dir + QStringLiteral("curl.cfg")}));
        const int connectionsBefore = server.connectionCount();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < smallCount; ++i)
            check(downloadtofile(dir + QStringLiteral("p%1.jpg").arg(i), server.url(QStringLiteral("/small/%1.jpg").arg(i))),
                  "small download");
        oursSmall = std::min(oursSmall, double(timer.nsecsElapsed()) / 1e9);
        check(server.connectionCount() - connectionsBefore <= 1, "one kept-alive connection");
    }
    report("1000 small files (4 KiB)", oursSmall, curlSmall, smallCount, "files");
    return 0;
}
