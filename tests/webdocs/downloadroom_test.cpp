// A download never fills the disk: it leaves a margin free on the target's file system,
// writes no picture larger than the cap, and a failed one takes its ".part" file away.
#include "tests/webdocs/downloadfixture.h"
#include "webdocs/httpclient.h"

#include <QFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

constexpr qint64 margin = qint64(64) << 20;

// A file system with `free` bytes left, whatever the disk under the test has.
std::function<qint64(const QString&)> diskWith(qint64 free)
{
    return [free](const QString&) { return free; };
}

} // namespace

class DownloadRoomTest : public DownloadFixture {
protected:
    DownloadRoomTest() { form.client().stallLimit = 2s; }

    struct Case {
        const char* name;
        qint64 free;   // on the target's file system
        qint64 cap;    // the largest picture
        HttpAnswer answer;
        bool result;
    };

    void run(const Case& c)
    {
        SCOPED_TRACE(c.name);
        form.freeSpace = diskWith(c.free);
        form.maxDownloadSize = c.cap;
        Sandbox::writeFile(path(QStringLiteral("a.jpg")), "old");
        messages.clear();
        server.enqueue(c.answer);

        EXPECT_EQ(fetch(QStringLiteral("/a.jpg")), c.result);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        if (c.result) {
            EXPECT_TRUE(messages.isEmpty());
            EXPECT_NE(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
        } else {
            EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
            EXPECT_FALSE(form.client().connected()); // the rest of the body is not read
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
};

TEST_F(DownloadRoomTest, AnnouncedLengthBeyondTheRoomIsRefusedBeforeWriting)
{
    const qint64 plenty = qint64(1) << 40;
    const qint64 cap = qint64(2) << 30;
    const QByteArray kilo(1000, 'k');
    // Only the head comes: a body that were read would wait for the stall limit.
    const auto announcing = [](const QByteArray& length) {
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n\r\n";
        return HttpAnswer::raw(head + "x").stallAfter(head.size());
    };
    const Case cases[] = {
        {"exactly the room left above the margin", margin + 1000, cap, HttpAnswer::withLength(200, "OK", kilo), true},
        {"one byte more", margin + 1000, cap, HttpAnswer::withLength(200, "OK", kilo + "k"), false},
        {"10 GB on a 100 MB file system", qint64(100) << 20, cap, announcing("10000000000"), false},
        {"less free than the margin", margin / 2, cap, HttpAnswer::withLength(200, "OK", "k"), false},
        {"an empty file needs no room", margin / 2, cap, HttpAnswer::withLength(200, "OK", ""), true},
        {"the cap on a large disk", plenty, cap, announcing(QByteArray::number(cap + 1)), false},
        {"10 GB on a large disk", plenty, cap, announcing("10000000000"), false},
        {"free space unknown: the cap holds", -1, 1000, HttpAnswer::withLength(200, "OK", kilo + "k"), false},
    };
    for (const Case& c : cases)
        run(c);
}

TEST_F(DownloadRoomTest, BodyWithoutALengthStopsWhenItPassesTheRoom)
{
    const qint64 plenty = qint64(1) << 40;
    const QByteArray kilo(1000, 'k');
    const QByteArray more = kilo + "k";
    const Case cases[] = {
        {"chunked, as large as the cap", plenty, 1000, HttpAnswer::chunked(kilo, 100), true},
        {"chunked, past the cap", plenty, 1000, HttpAnswer::chunked(more, 100), false},
        {"chunked, past the free space", margin + 1000, qint64(2) << 30, HttpAnswer::chunked(more, 100), false},
        {"ended by close, past the cap", plenty, 1000, HttpAnswer::raw("HTTP/1.1 200 OK\r\n\r\n" + more, true), false},
        {"chunked, 4 MiB with no end", plenty, 100000, HttpAnswer::chunked(QByteArray(4 << 20, 'e'), 65536, false), false},
    };
    for (const Case& c : cases)
        run(c);
}

TEST_F(DownloadRoomTest, FreeSpaceIsThatOfTheTargetsFileSystem)
{
    const qint64 free = form.freeSpace(sandbox.workFolder());
    const qint64 expected = QStorageInfo(sandbox.workFolder()).bytesAvailable();
    EXPECT_GT(free, 0);
    EXPECT_LT(std::abs(free - expected), qint64(64) << 20); // other programs write meanwhile
    EXPECT_LT(form.freeSpace(path(QStringLiteral("missing/a.jpg"))), 0);
}

TEST_F(DownloadRoomTest, PartFileOfAnotherDownloaderIsLeftAlone)
{
    // Another copy of the program is receiving the same picture.
    const QString part = path(QStringLiteral("a.jpg.part"));
    Sandbox::writeFile(part, "theirs");
    const int theirs = ::open(QFile::encodeName(part).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(theirs, 0);
    ASSERT_EQ(::flock(theirs, LOCK_EX | LOCK_NB), 0);

    server.enqueue(HttpAnswer::withLength(200, "OK", "mine"));
    EXPECT_FALSE(fetch(QStringLiteral("/a.jpg")));
    EXPECT_EQ(Sandbox::readFile(part), "theirs");
    EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
    ::close(theirs);
}

TEST_F(DownloadRoomTest, ReferenceThatIsNoHttpAddressLeavesNoPartFile)
{
    for (const QString& url : {QStringLiteral("file:///etc/passwd"), QStringLiteral("http://127.0.0.1:1/a.jpg")}) {
        SCOPED_TRACE(url.toStdString());
        messages.clear();
        EXPECT_FALSE(downloadtofile(path(QStringLiteral("passwd")), url));
        EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("passwd.part"))));
    }
}
