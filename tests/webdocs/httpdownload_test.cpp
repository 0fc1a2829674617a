#include "tests/webdocs/downloadfixture.h"
#include "webdocs/httpclient.h"

#include <QFile>
#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QNetworkCookieJar>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray expectedHead(const QByteArray& target, quint16 port, const QByteArray& cookie = {})
{
    QByteArray head = "GET " + target + " HTTP/1.1\r\n"
                    + "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n"
                    + "Accept: text/html, */*\r\n"
                    + "Accept-Encoding: identity\r\n"
                    + "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";
    if (!cookie.isEmpty())
        head += "Cookie: " + cookie + "\r\n";
    return head + "\r\n";
}

} // namespace

using HttpDownloadTest = DownloadFixture;

TEST_F(HttpDownloadTest, SendsExactlyTheRequestLineAndFiveHeaderLines)
{
    struct Case {
        QString urlPath;
        QByteArray target;
    } cases[] = {
        {QStringLiteral("/docs/a.jpg"), "/docs/a.jpg"},
        {QStringLiteral("/blomster/a b c.jpg"), "/blomster/a%20b%20c.jpg"},
        {QStringLiteral("/x/a+b(1).jpg?size=2&name=%41"), "/x/a+b(1).jpg?size=2&name=%41"},
        {QString(), "/"},
    };
    for (const Case& c : cases) {
        server.enqueue(HttpAnswer::withLength(200, "OK", "x"));
        EXPECT_TRUE(fetch(c.urlPath)) << c.urlPath.toStdString();
        EXPECT_EQ(server.requests().last(), expectedHead(c.target, server.port())) << c.urlPath.toStdString();
    }
    EXPECT_EQ(form.DownloadURL, server.url(QString()));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(HttpDownloadTest, SpacesBecomePercent20InTheStoredUrlAndTheFailureMessage)
{
    server.enqueue(HttpAnswer::withLength(404, "Not Found", "gone"));
    EXPECT_FALSE(fetch(QStringLiteral("/a b c.jpg")));
    EXPECT_EQ(form.DownloadURL, server.url(QStringLiteral("/a%20b%20c.jpg")));
    EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a%20b%20c.jpg"))});
}

TEST_F(HttpDownloadTest, CookiesFromEarlierAnswersGoBackInOneLine)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", "1",
                                          {"Set-Cookie: sid=abc; Path=/", "Set-Cookie: lang=no",
                                           "Set-Cookie: other=1; Path=/elsewhere"}));
    server.enqueue(HttpAnswer::withLength(200, "OK", "2"));
    server.enqueue(HttpAnswer::withLength(404, "Not Found", "", {"Set-Cookie: theme=dark; Path=/"}));
    server.enqueue(HttpAnswer::withLength(200, "OK", "4"));
    ASSERT_TRUE(fetch(QStringLiteral("/first.jpg")));
    ASSERT_TRUE(fetch(QStringLiteral("/second.jpg")));
    EXPECT_FALSE(fetch(QStringLiteral("/third.jpg")));
    ASSERT_TRUE(fetch(QStringLiteral("/fourth.jpg")));

    const QByteArrayList requests = server.requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0], expectedHead("/first.jpg", server.port()));
    EXPECT_EQ(requests[1], expectedHead("/second.jpg", server.port(), "sid=abc; lang=no"));
    // The cookie of a failed answer is kept too.
    EXPECT_EQ(requests[3], expectedHead("/fourth.jpg", server.port(), "sid=abc; lang=no; theme=dark"));
}

TEST(HttpUrlTest, HostHeaderNamesThePortOnlyWhenItIsNotTheSchemesOwn)
{
    struct Case {
        QString url;
        std::string host, port, hostHeader, path;
    } cases[] = {
        {QStringLiteral("http://www.example.no/blomster/a.jpg"), "www.example.no", "80", "www.example.no", "/blomster/a.jpg"},
        {QStringLiteral("http://www.example.no:80/a.jpg"), "www.example.no", "80", "www.example.no", "/a.jpg"},
        {QStringLiteral("HTTP://host:8080?q=1"), "host", "8080", "host:8080", "/?q=1"},
        {QStringLiteral("http://user:pw@host/a.jpg"), "host", "80", "host", "/a.jpg"},
        // "#" belongs to the file name; "?" starts a query and "%" an escape, as written.
        {QStringLiteral("http://host/a#1.jpg"), "host", "80", "host", "/a%231.jpg"},
        {QStringLiteral("http://host/x/#?q=#%41"), "host", "80", "host", "/x/%23?q=%23%41"},
        {QStringLiteral("http://[::1]:81/a"), "::1", "81", "[::1]:81", "/a"},
        {QString::fromUtf8("http://h/bl\u00e5/\r\nX: y"), "h", "80", "h", "/bl%C3%A5/%0D%0AX:%20y"},
        {QStringLiteral("https://www.example.no/a.jpg"), "www.example.no", "443", "www.example.no", "/a.jpg"},
        {QStringLiteral("HTTPS://host:443?q"), "host", "443", "host", "/?q"},
        {QStringLiteral("https://host:80/a"), "host", "80", "host:80", "/a"},
        {QString::fromUtf8("http://bl\u00e5veis.no:8080/a.jpg"), "xn--blveis-jua.no", "8080", "xn--blveis-jua.no:8080", "/a.jpg"},
        {QString::fromUtf8("https://BL\u00c5VEIS.no/a.jpg"), "xn--blveis-jua.no", "443", "xn--blveis-jua.no", "/a.jpg"},
    };
    for (const Case& c : cases) {
        const HttpTarget t = parseHttpUrl(c.url);
        EXPECT_EQ(t.host, c.host) << c.url.toStdString();
        EXPECT_EQ(t.port, c.port) << c.url.toStdString();
        EXPECT_EQ(t.hostHeader, c.hostHeader) << c.url.toStdString();
        EXPECT_EQ(t.path, c.path) << c.url.toStdString();
        EXPECT_EQ(t.secure, c.url.startsWith(QStringLiteral("https"), Qt::CaseInsensitive)) << c.url.toStdString();
    }
    for (const char* bad : {"ftp://host/a", "https:///a", "httpx://host/a", "host/a.jpg", "http:///a.jpg", "http://host:0/a",
                            "http://host:99999/a", "http://host:x/a", "http://ho st/a", "http://h\r\nX:1/a",
                            "http://host#a/b"})
        EXPECT_THROW(parseHttpUrl(QString::fromLatin1(bad)), HttpFetchError) << bad;
}

TEST_F(HttpDownloadTest, EachAnswerGivesItsOutcome)
{
    const QByteArray body = "picture bytes";
    struct Case {
        const char* name;
        HttpAnswer answer;
        bool result;
    } cases[] = {
        {"content-length", HttpAnswer::withLength(200, "OK", body, {"Content-Type: image/jpeg"}), true},
        {"chunked", HttpAnswer::chunked(body, 5), true},
        {"ended by close", HttpAnswer::raw("HTTP/1.1 200 OK\r\n\r\n" + body, true), true},
        {"http/1.0", HttpAnswer::raw("HTTP/1.0 200 OK\r\n\r\n" + body, true), true},
        {"100 continue", HttpAnswer::raw("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n" + body),
         true},
        {"203 html", HttpAnswer::withLength(203, "Non-Authoritative", body, {"Content-Type: text/html"}), true},
        {"204", HttpAnswer::raw("HTTP/1.1 204 No Content\r\n\r\n"), true},
        {"302 going nowhere", HttpAnswer::withLength(302, "Found", "moved"), false},
        {"304", HttpAnswer::raw("HTTP/1.1 304 Not Modified\r\n\r\n"), false},
        {"404", HttpAnswer::withLength(404, "Not Found", "<html>not here</html>"), false},
        {"500", HttpAnswer::withLength(500, "Internal Server Error", "oops"), false},
        {"broken off", HttpAnswer::raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + body, true), false},
        {"no last chunk", HttpAnswer::chunked(body, 5, false), false},
        {"not http", HttpAnswer::raw("hello\r\n\r\n", true), false},
        {"closed at once", HttpAnswer::raw("", true), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(path(QStringLiteral("a.jpg")), "old");
        Sandbox::writeFile(path(QStringLiteral("a.jpg.part")), "left from before");
        messages.clear();
        server.enqueue(c.answer);
        const int requestsBefore = int(server.requests().size());

        EXPECT_EQ(fetch(QStringLiteral("/a.jpg")), c.result);
        EXPECT_EQ(form.DownLoadResult, c.result);
        EXPECT_EQ(server.requests().size(), requestsBefore + 1);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        if (c.result) {
            const QByteArray expected = QByteArray(c.name) == "204" ? QByteArray() : body;
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), expected);
            EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
            EXPECT_TRUE(messages.isEmpty());
        } else {
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
            EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part")))); // nothing piles up
            EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
            EXPECT_EQ(cursorAtMessage, nullptr);
        }
    }
}

TEST_F(HttpDownloadTest, ProgressRisesToHundredPercentAndTheWindowHides)
{
    QByteArray body(500, 'x');
    server.enqueue(HttpAnswer::withLength(200, "OK", body).slowly(100, 40));
    form.client().pieceSize = 64; // several pieces even if the pieces arrive together

    ASSERT_TRUE(fetch(QStringLiteral("/slow.jpg")));
    EXPECT_EQ(form.ProgressBar1->maximum(), 500);
    EXPECT_EQ(form.ProgressBar1->value(), 500);
    EXPECT_EQ(form.DownLoadSize, 500);
    EXPECT_EQ(form.LFileName->text(), path(QStringLiteral("a.jpg")));
    ASSERT_GE(percents.texts.size(), 4) << percents.texts.join(u' ').toStdString();
    EXPECT_EQ(percents.texts.first(), QStringLiteral("0%"));
    EXPECT_EQ(percents.texts.last(), QStringLiteral("100%"));
    int previous = -1;
    for (const QString& text : percents.texts) {
        ASSERT_TRUE(text.endsWith(u'%'));
        const int value = text.chopped(1).toInt();
        EXPECT_GT(value, previous);
        previous = value;
    }
    EXPECT_TRUE(percents.busyAtLastPaint);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), body);
}

TEST_F(HttpDownloadTest, UnknownLengthKeepsZeroPercent)
{
    server.enqueue(HttpAnswer::chunked(QByteArray(3000, 'c'), 1000).slowly(700, 20));
    form.client().pieceSize = 256;
    ASSERT_TRUE(fetch(QStringLiteral("/chunked.jpg")));
    EXPECT_EQ(percents.texts, QStringList{QStringLiteral("0%")});
    EXPECT_EQ(form.DownLoadSize, 0);
    EXPECT_EQ(form.ProgressBar1->maximum(), 0);
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))).size(), 3000);
}

TEST_F(HttpDownloadTest, FastBodyIsWrittenABufferAtATimeAndReportedOncePerPiece)
{
    QByteArray body;
    for (int i = 0; body.size() < 50000; ++i)
        body += QByteArray::number(i) + ',';
    const QByteArray head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
    const struct {
        const char* name;
        HttpAnswer answer;
        std::int64_t announced;
    } cases[] = {
        {"counted", HttpAnswer::withLength(200, "OK", body), body.size()},
        {"chunked", HttpAnswer::chunked(body, 7000), 0},
        {"ended by closing", HttpAnswer::raw(head + body, true), 0},
    };
    HttpClient& client = form.client();
    client.writeSize = 1000;
    client.pieceInterval = std::chrono::seconds(30); // the whole body arrives within one piece
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.enqueue(c.answer);
        QByteArray written;
        std::size_t largestWrite = 0;
        std::vector<std::int64_t> begins, works;
        HttpProgress progress;
        progress.begin = [&](std::int64_t expected) { begins.push_back(expected); };
        progress.work = [&](std::int64_t received) { works.push_back(received); };
        client.get(server.url(QStringLiteral("/fast.jpg")),
                   [&](const char* data, std::size_t size) {
                       written.append(data, qsizetype(size));
                       largestWrite = std::max(largestWrite, size);
                   },
                   progress);
        EXPECT_EQ(written, body);
        EXPECT_EQ(largestWrite, 1000u);
        EXPECT_EQ(begins, std::vector<std::int64_t>{c.announced});
        EXPECT_EQ(works, std::vector<std::int64_t>{body.size()});
    }
}

TEST_F(HttpDownloadTest, KeptAliveConnectionServesTheNextDownload)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", "one"));
    server.enqueue(HttpAnswer::withLength(404, "Not Found", "no"));
    server.enqueue(HttpAnswer::withLength(200, "OK", "three", {"Connection: close"}));
    server.enqueue(HttpAnswer::withLength(200, "OK", "four"));
    EXPECT_TRUE(fetch(QStringLiteral("/1.jpg"), QStringLiteral("1.jpg")));
    EXPECT_FALSE(fetch(QStringLiteral("/2.jpg"), QStringLiteral("2.jpg")));
    EXPECT_TRUE(fetch(QStringLiteral("/3.jpg"), QStringLiteral("3.jpg")));
    EXPECT_TRUE(fetch(QStringLiteral("/4.jpg"), QStringLiteral("4.jpg")));
    EXPECT_EQ(server.requestConnections(), (QList<int>{0, 0, 0, 1}));
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("4.jpg"))), "four");
}

TEST_F(HttpDownloadTest, ConnectionClosedByTheServerMeanwhileIsOpenedAgainSilently)
{
    HttpAnswer keptButClosed = HttpAnswer::withLength(200, "OK", "one");
    keptButClosed.closeAfter = true; // announces keep-alive, then hangs up
    server.enqueue(keptButClosed);
    server.enqueue(HttpAnswer::withLength(200, "OK", "two"));
    ASSERT_TRUE(fetch(QStringLiteral("/1.jpg"), QStringLiteral("1.jpg")));
    QTest::qWait(50);
    EXPECT_TRUE(fetch(QStringLiteral("/2.jpg"), QStringLiteral("2.jpg")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(server.requestConnections(), (QList<int>{0, 1}));
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("2.jpg"))), "two");
}

TEST_F(HttpDownloadTest, NoServerFailsWithTheMessage)
{
    for (const QString& url : {QStringLiteral("http://127.0.0.1:1/a.jpg"), QStringLiteral("https://127.0.0.1:1/a.jpg")}) {
        messages.clear();
        EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), url));
        EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
        EXPECT_EQ(messageIcons.back(), MessageIcon::None);
        EXPECT_TRUE(visibleAtMessage); // hidden only after the message is dismissed
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg"))));
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(HttpDownloadTest, PartFileThatCannotBeCreatedFails)
{
    EXPECT_FALSE(downloadtofile(path(QStringLiteral("missing/a.jpg")), server.url(QStringLiteral("/a.jpg"))));
    EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(HttpDownloadTest, DownloadPathGetsItsSeparatorAndPrefixesTheTarget)
{
    QDir().mkpath(path(QStringLiteral("sub")));
    form.DownloadPath = path(QStringLiteral("sub"));
    server.enqueue(HttpAnswer::withLength(200, "OK", "in sub"));
    ASSERT_TRUE(downloadtofile(QStringLiteral("a.jpg"), server.url(QStringLiteral("/a.jpg"))));
    EXPECT_EQ(form.DownloadPath, path(QStringLiteral("sub/")));
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("sub/a.jpg"))), "in sub");
}

TEST_F(HttpDownloadTest, WindowIsAToolWindowWhoseCaptionChangesAtTheFirstDownload)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Laster ned ....."));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form.size(), QSize(483, 108));
    EXPECT_EQ(form.ProgressBar1->geometry(), QRect(32, 24, 417, 17));
    EXPECT_EQ(form.LPercent->text(), QStringLiteral("0%"));
    server.enqueue(HttpAnswer::withLength(200, "OK", "x"));
    ASSERT_TRUE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("kupdate 5.56 (746)"));
}

TEST_F(HttpDownloadTest, DoubleClickRepeatsTheLastDownload)
{
    server.enqueue(HttpAnswer::withLength(200, "OK", "first"));
    server.enqueue(HttpAnswer::withLength(200, "OK", "second"));
    ASSERT_TRUE(fetch(QStringLiteral("/a.jpg")));
    form.show();
    QTest::mouseDClick(&form, Qt::LeftButton);
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1], server.requests()[0]);
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "second");
}

TEST_F(HttpDownloadTest, FailureBoxHasCaptionFeilNoIconAndOneOkButton)
{
    setMessageHandler({}); // the real box, answered from a timer
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QList<QAbstractButton*> buttons;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons();
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer.start(20);
    server.enqueue(HttpAnswer::withLength(404, "Not Found", ""));
    EXPECT_FALSE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_EQ(title, QStringLiteral("FEIL"));
    EXPECT_EQ(text, QStringLiteral("Feil i nedlasting av: ") + server.url(QStringLiteral("/a.jpg")));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons.size(), 1);
}

TEST_F(HttpDownloadTest, TargetThatCannotBeReplacedKeepsTheNewContentUnderPart)
{
    // A folder in the target's place cannot be deleted as a file, so the rename fails too.
    Sandbox::writeFile(path(QStringLiteral("a.jpg/inside")), "keep");
    server.enqueue(HttpAnswer::withLength(200, "OK", "new"));
    EXPECT_TRUE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg.part"))), "new");
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg/inside"))), "keep");
}

TEST_F(HttpDownloadTest, WhatStandsUnderThePartNameIsReplacedNeverWrittenThrough)
{
    const QString victim = sandbox.root() + QStringLiteral("/victim.txt");
    const QString nowhere = sandbox.root() + QStringLiteral("/made-through-a-link.txt");
    const QString part = path(QStringLiteral("a.jpg.part"));
    struct Case {
        const char* name;
        std::function<void()> plant;
    } cases[] = {
        {"link to a file elsewhere", [&] { QFile::link(victim, part); }},
        {"link to nothing", [&] { QFile::link(nowhere, part); }},
        {"second name of a file", [&] { ::link(QFile::encodeName(victim).constData(), QFile::encodeName(part).constData()); }},
        {"pipe", [&] { ::mkfifo(QFile::encodeName(part).constData(), 0600); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(victim, "precious");
        QFile::remove(part);
        c.plant();
        server.enqueue(HttpAnswer::withLength(200, "OK", "new picture"));
        EXPECT_TRUE(fetch(QStringLiteral("/a.jpg")));
        EXPECT_EQ(Sandbox::readFile(victim), "precious");
        EXPECT_FALSE(QFileInfo::exists(nowhere));
        EXPECT_FALSE(QFileInfo(path(QStringLiteral("a.jpg"))).isSymLink());
        EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "new picture");
        EXPECT_FALSE(QFileInfo::exists(part) || QFileInfo(part).isSymLink());
    }
}

TEST_F(HttpDownloadTest, FailedDownloadThroughAPlantedLinkLeavesItsTargetAlone)
{
    const QString victim = sandbox.root() + QStringLiteral("/victim.txt");
    Sandbox::writeFile(victim, "precious");
    QFile::link(victim, path(QStringLiteral("a.jpg.part")));
    server.enqueue(HttpAnswer::withLength(404, "Not Found", "gone"));
    EXPECT_FALSE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_EQ(Sandbox::readFile(victim), "precious");
    EXPECT_FALSE(QFileInfo(path(QStringLiteral("a.jpg.part"))).isSymLink());
}

TEST_F(HttpDownloadTest, BarStaysRightForBodiesPastTwoAndFourGiB)
{
    using namespace std::chrono_literals;
    const QByteArray piece(40000, 'p');
    form.client().stallLimit = 300ms; // the rest of the body never comes
    form.maxDownloadSize = std::numeric_limits<qint64>::max(); // no picture is that large: only the bar is tried
    form.freeSpace = [](const QString&) { return qint64(-1); };
    for (const qint64 length : {qint64(3) << 30, qint64(5) << 30, qint64(1) << 62}) {
        SCOPED_TRACE(length);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n";
        server.enqueue(HttpAnswer::raw(head + piece).stallAfter(head.size() + piece.size()));
        EXPECT_FALSE(fetch(QStringLiteral("/big.jpg")));
        EXPECT_EQ(form.DownLoadSize, length);
        const int maximum = form.ProgressBar1->maximum();
        EXPECT_EQ(form.ProgressBar1->minimum(), 0);
        EXPECT_GT(maximum, std::numeric_limits<qint32>::max() / 2); // the bar's range is used, not wrapped
        const double shown = double(form.ProgressBar1->value()) / maximum;
        EXPECT_NEAR(shown, double(piece.size()) / double(length), 2.0 / maximum);
        if (length < (qint64(1) << 40))
            EXPECT_GT(form.ProgressBar1->value(), 0);
        EXPECT_EQ(percents.texts.last(), QStringLiteral("0%"));
    }
}
