#include "tests/webdocs/tlsfixture.h"
#include "webdocs/cookiestore.h"

#include <QFile>
#include <functional>

namespace {

HttpAnswer redirect(int status, const QString& location, const QByteArrayList& more = {})
{
    return HttpAnswer::withLength(status, "Moved", "a page about moving",
                                  QByteArrayList{"Location: " + location.toUtf8()} + more);
}

QByteArray target(const QByteArray& head)
{
    return head.split(' ').value(1);
}

QByteArrayList targets(const HttpTestServer& server)
{
    QByteArrayList out;
    for (const QByteArray& head : server.requests())
        out << target(head);
    return out;
}

} // namespace

class RedirectTest : public TlsFixture {
protected:
    HttpTestServer other; // another loopback port
};

TEST_F(RedirectTest, RedirectsAreFollowedWithinTheirLimits)
{
    const QByteArray picture = "the picture";
    struct Case {
        const char* name;
        QString urlPath; // on the plain server
        std::function<void()> script;
        bool result;
        QByteArrayList plainTargets, secureTargets, otherTargets;
    } cases[] = {
        {"301 http to https", QStringLiteral("/a.jpg"),
         [&] {
             server.enqueue(redirect(301, secure.url(QStringLiteral("/a.jpg"))));
             secure.enqueue(HttpAnswer::withLength(200, "OK", picture));
         },
         true, {"/a.jpg"}, {"/a.jpg"}, {}},
        {"302 relative", QStringLiteral("/dir/a.jpg"),
         [&] {
             server.enqueue(redirect(302, QStringLiteral("b.jpg#top"))); // the fragment stays here
             server.enqueue(HttpAnswer::withLength(200, "OK", picture));
         },
         true, {"/dir/a.jpg", "/dir/b.jpg"}, {}, {}},
        {"303 absolute path", QStringLiteral("/dir/a.jpg"),
         [&] {
             server.enqueue(redirect(303, QStringLiteral("/new/a%20b.jpg")));
             server.enqueue(HttpAnswer::withLength(200, "OK", picture));
         },
         true, {"/dir/a.jpg", "/new/a%20b.jpg"}, {}, {}},
        {"307 to another port, then 308", QStringLiteral("/a.jpg"),
         [&] {
             server.enqueue(redirect(307, other.url(QStringLiteral("/c.jpg"))));
             other.enqueue(redirect(308, QStringLiteral("/d.jpg")));
             other.enqueue(HttpAnswer::withLength(200, "OK", picture));
         },
         true, {"/a.jpg"}, {}, {"/c.jpg", "/d.jpg"}},
        {"five in a row", QStringLiteral("/0"),
         [&] {
             for (int i = 1; i <= 5; ++i)
                 server.enqueue(redirect(302, QStringLiteral("/%1").arg(i)));
             server.enqueue(HttpAnswer::withLength(200, "OK", picture));
         },
         true, {"/0", "/1", "/2", "/3", "/4", "/5"}, {}, {}},
        {"six in a row", QStringLiteral("/0"),
         [&] {
             for (int i = 1; i <= 6; ++i)
                 server.enqueue(redirect(302, QStringLiteral("/%1").arg(i)));
         },
         false, {"/0", "/1", "/2", "/3", "/4", "/5"}, {}, {}},
        {"a loop", QStringLiteral("/a.jpg"),
         [&] {
             server.enqueue(redirect(302, QStringLiteral("/b.jpg")));
             server.enqueue(redirect(302, server.url(QStringLiteral("/a.jpg"))));
         },
         false, {"/a.jpg", "/b.jpg"}, {}, {}},
        {"https down to http", QStringLiteral("/a.jpg"),
         [&] {
             server.enqueue(redirect(301, secure.url(QStringLiteral("/a.jpg"))));
             secure.enqueue(redirect(302, other.url(QStringLiteral("/a.jpg"))));
         },
         false, {"/a.jpg"}, {"/a.jpg"}, {}},
        {"another scheme", QStringLiteral("/a.jpg"),
         [&] { server.enqueue(redirect(302, QStringLiteral("ftp://127.0.0.1/a.jpg"))); },
         false, {"/a.jpg"}, {}, {}},
        {"redirect without a Location", QStringLiteral("/a.jpg"),
         [&] { server.enqueue(HttpAnswer::withLength(302, "Found", "nowhere")); },
         false, {"/a.jpg"}, {}, {}},
        {"300 is no redirect", QStringLiteral("/a.jpg"),
         [&] { server.enqueue(redirect(300, QStringLiteral("/b.jpg"))); },
         false, {"/a.jpg"}, {}, {}},
        {"redirect to a failure", QStringLiteral("/a.jpg"),
         [&] {
             server.enqueue(redirect(302, QStringLiteral("/b.jpg")));
             server.enqueue(HttpAnswer::withLength(404, "Not Found", "gone"));
         },
         false, {"/a.jpg", "/b.jpg"}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype plainBefore = server.requests().size(), secureBefore = secure.requests().size(),
                        otherBefore = other.requests().size();
        Sandbox::writeFile(path(QStringLiteral("a.jpg")), "old");
        messages.clear();
        percents.texts.clear();
        c.script();

        EXPECT_EQ(fetch(c.urlPath), c.result);
        EXPECT_EQ(targets(server).mid(plainBefore), c.plainTargets);
        EXPECT_EQ(targets(secure).mid(secureBefore), c.secureTargets);
        EXPECT_EQ(targets(other).mid(otherBefore), c.otherTargets);
        EXPECT_FALSE(form.isVisible());
        if (c.result) {
            EXPECT_TRUE(messages.isEmpty());
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), picture); // never a redirect's body
            EXPECT_EQ(form.DownLoadSize, picture.size());
            EXPECT_EQ(percents.texts.last(), QStringLiteral("100%"));
        } else {
            // The failure names the address the reference gave, wherever the road ended.
            EXPECT_EQ(messages, QStringList{failureText(c.urlPath)});
            EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("a.jpg"))), "old");
            EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        }
    }
}

TEST_F(RedirectTest, CookiesOfEachAnswerGoWhereTheirHostIs)
{
    server.enqueue(redirect(302, QStringLiteral("/b.jpg"), {"Set-Cookie: step=1; Path=/"}));
    server.enqueue(redirect(302, QStringLiteral("https://localhost:%1/c.jpg").arg(secure.port())));
    secure.enqueue(HttpAnswer::withLength(200, "OK", "c", {"Set-Cookie: there=2; Path=/"}));
    ASSERT_TRUE(fetch(QStringLiteral("/a.jpg")));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests()[1].contains("\r\nCookie: step=1\r\n"));
    ASSERT_EQ(secure.requests().size(), 1);
    EXPECT_FALSE(secure.requests()[0].contains("Cookie:")); // another host: none of 127.0.0.1's
    EXPECT_TRUE(form.cookies().cookieLine(QUrl(QStringLiteral("https://localhost/x"))).contains("there=2"));
}
