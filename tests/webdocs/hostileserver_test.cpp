// Servers that flood or stall: the download ends, as a success or as the failure box,
// and the window is free again.
#include "tests/webdocs/downloadfixture.h"
#include "webdocs/cookiestore.h"
#include "webdocs/httpclient.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

using namespace std::chrono_literals;

namespace {

QByteArray cookieLineOf(const QByteArray& requestHead)
{
    for (const QByteArray& line : requestHead.split('\n'))
        if (line.startsWith("Cookie: "))
            return line.mid(8).trimmed();
    return {};
}

} // namespace

using HostileServerTest = DownloadFixture;

TEST_F(HostileServerTest, CookieFloodCostsOneAnswerAndTheNextDownloadGoes)
{
    QByteArrayList flood;
    for (int i = 0; i < 40000; ++i)
        flood << "Set-Cookie: c" + QByteArray::number(i) + "=" + QByteArray::number(i);
    server.enqueue(HttpAnswer::withLength(200, "OK", "flood", flood));
    server.enqueue(HttpAnswer::withLength(200, "OK", "next"));
    ASSERT_TRUE(fetch(QStringLiteral("/flood.jpg"), QStringLiteral("1.jpg")));
    ASSERT_TRUE(fetch(QStringLiteral("/next.jpg"), QStringLiteral("2.jpg")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("2.jpg"))), "next");
    // The newest fifty of the host came back.
    const QByteArrayList pairs = cookieLineOf(server.requests().last()).split(';');
    ASSERT_EQ(pairs.size(), CookieStore::maxPerDomain);
    EXPECT_EQ(pairs.first().trimmed(), "c39950=39950");
    EXPECT_EQ(pairs.last().trimmed(), "c39999=39999");
}

TEST_F(HostileServerTest, LargeCookiesStillLeaveARequestThatCanBeSent)
{
    QByteArrayList large;
    for (int i = 0; i < 17; ++i) {
        const QByteArray name = "big" + QByteArray::number(i);
        large << "Set-Cookie: " + name + "=" + QByteArray(4000 - name.size(), 'x'); // 4,000 bytes each
    }
    large << "Set-Cookie: too=" + QByteArray(4094, 'y'); // 4,097 bytes: refused
    server.enqueue(HttpAnswer::withLength(200, "OK", "1", large));
    server.enqueue(HttpAnswer::withLength(200, "OK", "2"));
    server.enqueue(HttpAnswer::withLength(200, "OK", "3"));
    ASSERT_TRUE(fetch(QStringLiteral("/1.jpg"), QStringLiteral("1.jpg")));
    ASSERT_TRUE(fetch(QStringLiteral("/2.jpg"), QStringLiteral("2.jpg")));
    ASSERT_TRUE(fetch(QStringLiteral("/3.jpg"), QStringLiteral("3.jpg")));
    EXPECT_TRUE(messages.isEmpty());
    const QByteArray line = cookieLineOf(server.requests().last());
    EXPECT_LE(line.size(), CookieStore::maxCookieLine);
    EXPECT_EQ(line.count("big"), 16);
    EXPECT_FALSE(line.contains("too="));
}

TEST_F(HostileServerTest, ServerThatStopsSendingFailsAfterTheLimit)
{
    const QByteArray body = "picture bytes";
    const QByteArray lengthHead = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n";
    const QByteArray hugeHead = "HTTP/1.1 200 OK\r\nContent-Length: 10737418240\r\n\r\n";
    const QByteArray chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    struct Case {
        const char* name;
        HttpAnswer answer;
    } cases[] = {
        {"no answer at all", HttpAnswer::raw("").stallAfter(0)},
        {"half a status line", HttpAnswer::raw("HTTP/1.1 2").stallAfter(10)},
        {"headers, then nothing", HttpAnswer::raw(lengthHead + body).stallAfter(lengthHead.size())},
        {"part of the body", HttpAnswer::raw(lengthHead + body).stallAfter(lengthHead.size() + body.size())},
        {"10 GB announced", HttpAnswer::raw(hugeHead + body).stallAfter(hugeHead.size() + body.size())},
        {"chunked", HttpAnswer::raw(chunkedHead + "d\r\n" + body + "\r\n").stallAfter(1000)},
        {"error status, body stalls", HttpAnswer::raw("HTTP/1.1 404 Not Found\r\nContent-Length: 50\r\n\r\nno").stallAfter(1000)},
    };
    form.client().stallLimit = 300ms;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(path(QStringLiteral("a.jpg")), "old");
        messages.clear();
        server.enqueue(c.answer);

        EXPECT_FALSE(fetch(QStringLiteral("/a.jpg")));
        EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        EXPECT_FALSE(form.client().connected());
    }
    // The next download opens a new connection and goes.
    server.enqueue(HttpAnswer::withLength(200, "OK", body));
    EXPECT_TRUE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), body);
}

TEST_F(HostileServerTest, SlowServerThatKeepsSendingIsWaitedFor)
{
    const QByteArray body(40, 'b');
    form.client().stallLimit = 300ms;
    // About 2 s in all, never 300 ms without a byte.
    server.enqueue(HttpAnswer::withLength(200, "OK", body).slowly(5, 100));
    server.enqueue(HttpAnswer::chunked(body, 4).slowly(10, 100));
    EXPECT_TRUE(fetch(QStringLiteral("/a.jpg"), QStringLiteral("a.jpg")));
    EXPECT_TRUE(fetch(QStringLiteral("/b.jpg"), QStringLiteral("b.jpg")));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), body);
    EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("b.jpg"))), body);
}

TEST_F(HostileServerTest, ConnectionThatIsNeverAcceptedFailsAfterTheLimit)
{
    // A listener whose queue is full and that never accepts: the kernel drops further
    // connection attempts, so a connect would wait as long as the system retries.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), length);
        fillers.push_back(fd);
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/a.jpg").arg(ntohs(address.sin_port));
    form.client().stallLimit = 300ms;

    EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), url));
    EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg"))));
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

namespace {

// The head at once, then the body in pieces of pieceSize with delayMs before each.
HttpAnswer dripped(const QByteArray& head, const QByteArray& body, int pieceSize, int delayMs)
{
    HttpAnswer answer = HttpAnswer::raw(head);
    const HttpAnswer rest = HttpAnswer::raw(body).slowly(pieceSize, delayMs);
    answer.pieces.insert(answer.pieces.end(), rest.pieces.begin(), rest.pieces.end());
    return answer;
}

} // namespace

TEST_F(HostileServerTest, ServerBelowTheLowestRateFailsWhereverItDrips)
{
    form.client().lowestRateBytes = 100;
    form.client().lowestRatePeriod = 500ms;
    form.client().stallLimit = 5s; // never reached: something comes every 20 ms
    const QByteArray body(300, 'b');
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 300\r\n\r\n";
    const QByteArray longBody(1500, 'l');
    struct Case {
        const char* name;
        HttpAnswer answer;
        bool result;
    } cases[] = {
        {"the head a byte at a time", HttpAnswer::raw(head + body).slowly(1, 20), false},
        {"the body a byte at a time", dripped(head, body, 1, 20), false},
        {"chunked, a byte at a time", HttpAnswer::chunked(body, 10).slowly(1, 20), false},
        {"an error's body a byte at a time", dripped("HTTP/1.1 404 Not Found\r\nContent-Length: 300\r\n\r\n", body, 1, 20),
         false},
        // 1,500 bytes a second against a floor of 200: longer than a period, and it goes.
        {"slow but above the floor", dripped("HTTP/1.1 200 OK\r\nContent-Length: 1500\r\n\r\n", longBody, 30, 20), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(path(QStringLiteral("a.jpg")), "old");
        messages.clear();
        server.enqueue(c.answer);

        EXPECT_EQ(fetch(QStringLiteral("/a.jpg")), c.result);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        if (c.result) {
            EXPECT_TRUE(messages.isEmpty());
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), longBody);
        } else {
            EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
            EXPECT_FALSE(form.client().connected());
        }
    }
}

TEST_F(HostileServerTest, InterimAnswersEndAfterTen)
{
    const QByteArray interim = "HTTP/1.1 100 Continue\r\n\r\n";
    const QByteArray final = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\ndone";
    struct Case {
        int interims;
        bool result;
    } cases[] = {{1, true}, {10, true}, {11, false}, {100000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interims);
        messages.clear();
        QFile::remove(path(QStringLiteral("a.jpg")));
        server.enqueue(HttpAnswer::raw(interim.repeated(c.interims) + final));

        EXPECT_EQ(fetch(QStringLiteral("/a.jpg")), c.result);
        EXPECT_EQ(QFile::exists(path(QStringLiteral("a.jpg"))), c.result);
        EXPECT_EQ(messages.isEmpty(), c.result);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
    }
}

TEST_F(HostileServerTest, DroppedBodyIsReadNoFurtherThanOneMebibyte)
{
    // 64 MiB, as fast as the client reads them.
    const auto flood = [](const QByteArray& head, const QByteArray& piece) {
        HttpAnswer answer = HttpAnswer::raw(head);
        for (int i = 0; i < 1024; ++i)
            answer.pieces.push_back({piece});
        return answer;
    };
    const QByteArray block(65536, 'x');
    const QByteArray chunk = QByteArray::number(block.size(), 16) + "\r\n" + block + "\r\n";
    struct Case {
        const char* name;
        HttpAnswer answer;
        std::int64_t read; // of the body, at most
        bool kept;         // the connection stays for the next download
    } cases[] = {
        {"chunked 404", flood("HTTP/1.1 404 Not Found\r\nTransfer-Encoding: chunked\r\n\r\n", chunk), 1 << 20, false},
        {"counted 500", flood("HTTP/1.1 500 Oops\r\nContent-Length: 67108864\r\n\r\n", block), 1 << 20, false},
        {"ended by close", flood("HTTP/1.1 403 Forbidden\r\n\r\n", block), 1 << 20, false},
        {"a short one", HttpAnswer::withLength(404, "Not Found", QByteArray(1000, 'n')), 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.enqueue(c.answer);
        std::int64_t received = 0;
        HttpProgress progress;
        progress.work = [&](std::int64_t count) { received = count; };
        const auto nowhere = [](const char*, std::size_t) { ADD_FAILURE() << "a failure's body was written"; };

        EXPECT_THROW(form.client().get(server.url(QStringLiteral("/a.jpg")), nowhere, progress), HttpFetchError);
        EXPECT_EQ(received, c.read);
        EXPECT_EQ(form.client().connected(), c.kept);
    }
}
