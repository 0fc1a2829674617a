// The download window against libcurl on the same loopback server: 1,000 small files over
// one kept-alive connection, and one 256 MiB file, in rounds that interleave the two
// sides, over http and then over https (both clients on the same OpenSSL, verifying the
// server's certificate against an authority made for the run; the TLS handshake of a new
// connection is timed apart). The window runs on an X display (DISPLAY, or a private Xvfb) and offscreen, each
// in a child process of this program. Each platform then traces single small files: the
// window's download, the same HTTP client and file handling without the window, and
// libcurl, with the X round trips the window's thread waited for.
//
//   bench_download [rounds]                               both platforms (5 rounds)
//   bench_download --child [rounds] [filesize] [folder]   the platform in QT_QPA_PLATFORM only
//
// Left out: DNS (the URLs name 127.0.0.1), a real network, and a window manager on the X
// display. libcurl writes straight into its output file; the window receives into
// ".part" and renames, as the program does. Every file gets a name of its own and none is
// deleted until both platforms are done: on ext4 without a journal, creating a file
// within minutes of many deletions scans past every recently freed inode, which cost
// either side more than the download itself. Dirty pages are written out before each
// timed side, so neither pays for the other's writes. Over https the window's client
// loads the system's certificate store beside the run's authority once, inside its first
// timed round; libcurl is given the authority's file alone (CURLOPT_CAINFO).

#include "bench/platformchild.h"
#include "bench/xdisplay.h"
#include "bench/xwaits.h"
#include "common/messages.h"
#include "tests/support/httptestserver.h"
#include "tests/support/testcertificates.h"
#include "webdocs/HttpDownload.h"
#include "webdocs/httpclient.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr qint64 bigSize = qint64(256) << 20;
constexpr int smallCount = 1000;
constexpr int traceCount = 300;
constexpr int handshakeCount = 100;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// libcurl with one easy handle for the whole run, so its connection stays open between
// files as the window's does; each file is opened, written and closed as curl -o does.
class CurlSide {
public:
    CurlSide() : curl_(curl_easy_init()) { check(curl_ != nullptr, "curl_easy_init"); }
    ~CurlSide() { curl_easy_cleanup(curl_); }

    // The authorities for https: the file, as the window's client gets it beside the system's.
    void trust(const QString& caFile)
    {
        caFile_ = QFile::encodeName(caFile);
        curl_easy_setopt(curl_, CURLOPT_CAINFO, caFile_.constData());
    }

    // fresh: on a new connection, as the first file from a server.
    void fetch(const QString& url, const QString& file, bool fresh = false)
    {
        FILE* out = std::fopen(QFile::encodeName(file).constData(), "wb");
        check(out != nullptr, "curl output file");
        const QByteArray address = url.toLatin1();
        curl_easy_setopt(curl_, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
        curl_easy_setopt(curl_, CURLOPT_URL, address.constData());
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, out);
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &std::fwrite);
        const CURLcode result = curl_easy_perform(curl_);
        long status = 0;
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        check(std::fclose(out) == 0 && result == CURLE_OK && status == 200, "curl download");
    }

    // libcurl's own measure of the last transfer's TLS handshake, µs.
    double handshakeMicros() const
    {
        curl_off_t connected = 0, secured = 0;
        curl_easy_getinfo(curl_, CURLINFO_CONNECT_TIME_T, &connected);
        curl_easy_getinfo(curl_, CURLINFO_APPCONNECT_TIME_T, &secured);
        return double(secured - connected);
    }

private:
    CURL* curl_;
    QByteArray caFile_;
};

// The window's own client and file handling (".part", rename) with no window at all.
void fetchWithoutWindow(HttpClient& client, const QString& url, const QString& target)
{
    QFile part(target + QStringLiteral(".part"));
    check(part.open(QIODevice::ReadWrite | QIODevice::Unbuffered), "part file");
    client.get(url, [&](const char* data, std::size_t size) { part.write(data, qint64(size)); }, {});
    part.close();
    QFile::rename(part.fileName(), target);
}

// Counts the paints of a widget.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget_ && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QWidget* widget_;
};

// Rates from the slowest, median and fastest round of each side; the ratio is ours
// against curl's (above 1: the window is faster), from the medians and per round.
void report(const char* platform, const char* name, const Spread& ours, const Spread& curl, double amount,
            const char* unit)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.values.size(); ++i)
        ratios.push_back(curl.values[i] / ours.values[i]);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-9s %s, %s/s min/median/max\n", platform, name, unit);
    std::printf("            prisliste %9.1f %9.1f %9.1f\n", amount / ours.at(1), amount / ours.at(0.5),
                amount / ours.at(0));
    std::printf("            libcurl   %9.1f %9.1f %9.1f\n", amount / curl.at(1), amount / curl.at(0.5),
                amount / curl.at(0));
    std::printf("            ratio of medians %.2f, per round %.2f .. %.2f\n", curl.at(0.5) / ours.at(0.5),
                ratios.front(), ratios.back());
    std::fflush(stdout);
}

void traceLine(const char* name, const Spread& micros)
{
    std::printf("            %-26s %8.0f %8.0f %8.0f\n", name, micros.at(0), micros.at(0.5), micros.at(1));
}

struct Sides {
    Spread oursSmall, curlSmall, oursBig, curlBig;
};

// Interleaved rounds of the window against libcurl: the small files over one kept-alive
// connection, then the big file; tag keeps each run's file names apart.
Sides compareRounds(int rounds, HttpTestServer& server, const std::vector<QString>& urls, const QString& bigUrl,
                    CurlSide& curl, const QString& dir, const char* tag)
{
    int round = 0;
    const auto roundName = [&](const char* side, int i) {
        return dir + QLatin1String(tag) + QStringLiteral("r%1-").arg(round) + QLatin1String(side) + QString::number(i);
    };

    Sides sides;
    auto& [oursSmall, curlSmall, oursBig, curlBig] = sides;
    for (round = 0; round < rounds; ++round) {
        // Both sides create new files in every round; the side that goes first alternates.
        QFile::remove(dir + QStringLiteral("big-curl.bin"));
        QFile::remove(dir + QStringLiteral("big.bin"));

        const auto runOurs = [&] {
            ::sync();
            const int connectionsBefore = server.connectionCount();
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < smallCount; ++i)
                check(downloadtofile(roundName("p", i), urls[std::size_t(i)]), "small download");
            oursSmall.values.push_back(seconds(timer));
            check(server.connectionCount() - connectionsBefore <= 1, "one kept-alive connection");
            ::sync();
            timer.start();
            check(downloadtofile(dir + QStringLiteral("big.bin"), bigUrl), "big download");
            oursBig.values.push_back(seconds(timer));
            check(QFileInfo(dir + QStringLiteral("big.bin")).size() == bigSize, "big size");
        };
        const auto runCurl = [&] {
            ::sync();
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < smallCount; ++i)
                curl.fetch(urls[std::size_t(i)], roundName("c", i));
            curlSmall.values.push_back(seconds(timer));
            ::sync();
            timer.start();
            curl.fetch(bigUrl, dir + QStringLiteral("big-curl.bin"));
            curlBig.values.push_back(seconds(timer));
            check(QFileInfo(dir + QStringLiteral("big-curl.bin")).size() == bigSize, "curl big size");
        };
        if (round % 2 == 0) {
            runOurs();
            runCurl();
        } else {
            runCurl();
            runOurs();
        }
    }
    QFile::remove(dir + QStringLiteral("big-curl.bin"));
    QFile::remove(dir + QStringLiteral("big.bin"));
    return sides;

}

void reportSides(const char* platform, const char* scheme, int smallSize, const Sides& sides)
{
    const QByteArray smallName = QByteArray(scheme) + ": " + QByteArray::number(smallCount) + " small files ("
        + QByteArray::number(smallSize) + " bytes)";
    report(platform, smallName.constData(), sides.oursSmall, sides.curlSmall, smallCount, "files");
    report(platform, (QByteArray(scheme) + ": 256 MiB file").constData(), sides.oursBig, sides.curlBig,
           double(bigSize) / (1 << 20), "MiB");
}

int runChild(int argc, char** argv, int rounds, int smallSize, const QString& parent)
{
    QApplication app(argc, argv);
    setMessageHandler([](const MessageRequest& r) {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MessageAnswer::Ok;
    });
    const QByteArray platform = QGuiApplication::platformName().toLatin1();

    QTemporaryDir folder((parent.isEmpty() ? QDir::currentPath() : parent) + QStringLiteral("/")
                         + QString::fromLatin1(platform) + QStringLiteral("-XXXXXX"));
    check(folder.isValid(), "temporary folder");
    folder.setAutoRemove(parent.isEmpty()); // else the parent removes it after both platforms
    const QString dir = folder.path() + QStringLiteral("/");

    // The window's client reads PRISLISTE_CA_FILE when it first meets https.
    TestCertificates certificates;
    const QString caFile = dir + QStringLiteral("authority.pem");
    check(certificates.writeAuthority(caFile), "authority file");
    qputenv("PRISLISTE_CA_FILE", QFile::encodeName(caFile));

    HttpTestServer server;
    const HttpAnswer big = HttpAnswer::withLength(200, "OK", QByteArray(bigSize, 'b'));
    const HttpAnswer small = HttpAnswer::withLength(200, "OK", QByteArray(smallSize, 's'));
    server.setHandler([&](const QByteArray& head) { return head.startsWith("GET /big") ? big : small; });

    THttpDownloadForm form; // hidden, as start-up creates it
    CurlSide curl;
    curl.trust(caFile);

    std::vector<QString> urls;
    for (int i = 0; i < smallCount; ++i)
        urls.push_back(server.url(QStringLiteral("/small/%1.jpg").arg(i)));
    const auto name = [&](const char* side, int i) { return dir + QLatin1String(side) + QString::number(i); };
    const Sides plain = compareRounds(rounds, server, urls, server.url(QStringLiteral("/big")), curl, dir, "http-");
    reportSides(platform.constData(), "http", smallSize, plain);

    // One small file at a time, the three ways in turn, into fresh names; and the floor
    // of any window shown and hidden per file: an empty tool window of the same size,
    // shown, painted once and hidden.
    QWidget empty(nullptr, form.windowFlags());
    empty.setFixedSize(form.size());
    Spread oursFile, bareFile, curlFile, waitsFile, waitedFile, floorFile, floorWaits;
    PaintCount names(form.LFileName);
    int unpainted = 0; // downloads whose window never showed the file name
    ::sync();
    for (int i = 0; i < traceCount; ++i) {
        const QString& url = urls[std::size_t(i)];
        QElapsedTimer timer;
        const XWaits before = xWaitsSoFar();
        const int paintsBefore = names.paints;
        timer.start();
        check(downloadtofile(name("tp", i), url), "traced download");
        oursFile.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        unpainted += names.paints == paintsBefore;
        const XWaits after = xWaitsSoFar();
        waitsFile.values.push_back(double(after.count - before.count));
        waitedFile.values.push_back(double(after.nanoseconds - before.nanoseconds) / 1e3);
        timer.start();
        fetchWithoutWindow(form.client(), url, name("tb", i));
        bareFile.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        timer.start();
        curl.fetch(url, name("tc", i));
        curlFile.values.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    for (int i = 0; i < traceCount; ++i) { // apart: a second window between downloads adds X work to each
        const XWaits before = xWaitsSoFar();
        QElapsedTimer timer;
        timer.start();
        empty.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        while (!empty.testAttribute(Qt::WA_Mapped)) // painted once on the screen, as the window is
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
        empty.hide();
        floorFile.values.push_back(double(timer.nsecsElapsed()) / 1e3);
        floorWaits.values.push_back(double(xWaitsSoFar().count - before.count));
    }
    std::printf("%-9s one small file at a time, %d files, µs min/median/max; windows never painted: %d\n",
                platform.constData(), traceCount, unpainted);
    traceLine("prisliste (window)", oursFile);
    traceLine("same, without the window", bareFile);
    traceLine("libcurl", curlFile);
    traceLine("X replies waited for", waitsFile);
    traceLine("time in those waits", waitedFile);
    traceLine("empty window shown+hidden", floorFile);
    traceLine("its X replies waited for", floorWaits);
    // No window shown for every file can do better than libcurl plus the empty window.
    const double curlPerFile = plain.curlSmall.at(0.5) / smallCount * 1e6;
    std::printf("            ceiling of the small-file ratio with a window per file: %.2f"
                " (libcurl %.0f µs per file, empty window %.0f µs)\n",
                curlPerFile / (curlPerFile + floorFile.at(0.5)), curlPerFile, floorFile.at(0.5));
    std::fflush(stdout);

    // The same over TLS, from a server whose certificate the run's own authority signed.
    HttpTestServer tls(certificates.serverContext(TestCertificates::Server::Good));
    tls.setHandler([&](const QByteArray& head) { return head.startsWith("GET /big") ? big : small; });
    std::vector<QString> secureUrls;
    for (int i = 0; i < smallCount; ++i)
        secureUrls.push_back(tls.url(QStringLiteral("/small/%1.jpg").arg(i)));
    const Sides secure = compareRounds(rounds, tls, secureUrls, tls.url(QStringLiteral("/big")), curl, dir, "https-");
    reportSides(platform.constData(), "https", smallSize, secure);
    std::printf("            small-file ratio https %.2f against http %.2f\n",
                secure.curlSmall.at(0.5) / secure.oursSmall.at(0.5), plain.curlSmall.at(0.5) / plain.oursSmall.at(0.5));

    // A new connection's handshake: a small file on a new connection less one on the kept
    // connection, both without the window; and libcurl's own measure of its handshake.
    Spread oursHandshake, curlHandshake, curlOwnHandshake;
    for (int i = 0; i < handshakeCount; ++i) {
        const QString& url = secureUrls[std::size_t(i)];
        form.client().disconnect();
        QElapsedTimer timer;
        timer.start();
        fetchWithoutWindow(form.client(), url, name("hf", i));
        const double fresh = double(timer.nsecsElapsed()) / 1e3;
        timer.start();
        fetchWithoutWindow(form.client(), url, name("hk", i));
        oursHandshake.values.push_back(fresh - double(timer.nsecsElapsed()) / 1e3);
        timer.start();
        curl.fetch(url, name("cf", i), true);
        const double curlFresh = double(timer.nsecsElapsed()) / 1e3;
        curlOwnHandshake.values.push_back(curl.handshakeMicros());
        timer.start();
        curl.fetch(url, name("ck", i));
        curlHandshake.values.push_back(curlFresh - double(timer.nsecsElapsed()) / 1e3);
    }
    std::printf("%-9s TLS handshake of a new connection, %d connections, µs min/median/max\n", platform.constData(),
                handshakeCount);
    traceLine("prisliste (new - kept)", oursHandshake);
    traceLine("libcurl (new - kept)", curlHandshake);
    traceLine("libcurl's own APPCONNECT", curlOwnHandshake);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const bool child = argc > 1 && std::strcmp(argv[1], "--child") == 0;
    const int first = child ? 2 : 1;
    const int rounds = argc > first ? std::max(1, std::atoi(argv[first])) : 5;
    if (child)
        return runChild(argc, argv, rounds, argc > first + 1 ? std::max(1, std::atoi(argv[first + 1])) : 4096,
                        argc > first + 2 ? QString::fromLocal8Bit(argv[first + 2]) : QString());

    QTemporaryDir folder(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    check(folder.isValid(), "temporary folder");
    const std::string files = QFile::encodeName(folder.path()).toStdString();
    const XDisplay display;
    std::printf("bench_download: %d rounds per platform; X display %s%s\n", rounds, display.name().c_str(),
                display.isPrivate() ? " (private Xvfb)" : "");
    std::fflush(stdout);
    runOnPlatform("xcb", display.name(), {"--child", std::to_string(rounds), "4096", files});
    runOnPlatform("offscreen", {}, {"--child", std::to_string(rounds), "4096", files});
    curl_global_cleanup();
    return 0;
}
