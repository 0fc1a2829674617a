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
