// The cookie store's limits: a cookie's size, cookies per domain and in all, and the
// Cookie line that a request can carry.
#include "webdocs/cookiestore.h"

#include <QNetworkCookie>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QByteArrayList numbered(const char* stem, int from, int to, const QByteArray& attributes = {})
{
    QByteArrayList values;
    for (int i = from; i < to; ++i)
        values << QByteArray(stem) + QByteArray::number(i) + "=v" + attributes;
    return values;
}

QByteArrayList names(const QList<QNetworkCookie>& cookies)
{
    QByteArrayList out;
    for (const QNetworkCookie& c : cookies)
        out << c.name();
    return out;
}

QUrl host(int n)
{
    return QUrl(QStringLiteral("http://h%1.example.no/a.jpg").arg(n));
}

} // namespace

TEST(CookieStore, KeepsTheNewestFiftyOfADomain)
{
    CookieStore store;
    const QUrl url(QStringLiteral("http://www.example.no/docs/a.jpg"));
    store.takeFromAnswer(numbered("a", 0, 30), url);
    store.takeFromAnswer(numbered("b", 0, 30), url);
    const QList<QNetworkCookie> held = store.cookiesForUrl(url);
    ASSERT_EQ(held.size(), 50);
    EXPECT_EQ(held.front().name(), "a10");
    EXPECT_EQ(held.back().name(), "b29");

    // Set again, a cookie counts as new; an expired one deletes its namesake.
    store.takeFromAnswer({"a10=again", "b29=x; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}, url);
    const QByteArrayList after = names(store.cookiesForUrl(url));
    EXPECT_EQ(after.size(), 49);
    EXPECT_EQ(after.back(), "a10");
    EXPECT_FALSE(after.contains("b29"));
    // Another domain has a limit of its own.
    store.takeFromAnswer(numbered("c", 0, 5), host(1));
    EXPECT_EQ(store.cookiesForUrl(host(1)).size(), 5);
    EXPECT_EQ(store.cookiesForUrl(url).size(), 49);
}

TEST(CookieStore, KeepsTheNewestThreeThousandInAll)
{
    CookieStore store;
    for (int h = 0; h < 61; ++h)
        store.takeFromAnswer(numbered("c", 0, 50), host(h));
    EXPECT_TRUE(store.cookiesForUrl(host(0)).isEmpty()); // the oldest 50 went
    EXPECT_EQ(store.cookiesForUrl(host(1)).size(), 50);
    EXPECT_EQ(store.cookiesForUrl(host(60)).size(), 50);
}

TEST(CookieStore, RefusesACookieLargerThan4096Bytes)
{
    struct Case { int nameSize, valueSize; bool kept; } cases[] = {
        {1, 4095, true}, {1, 4096, false}, {2048, 2048, true}, {2048, 2049, false},
    };
    for (const Case& c : cases) {
        CookieStore store;
        const QUrl url(QStringLiteral("http://www.example.no/"));
        store.takeFromAnswer({QByteArray(c.nameSize, 'n') + '=' + QByteArray(c.valueSize, 'v')}, url);
        EXPECT_EQ(store.cookiesForUrl(url).size(), c.kept ? 1 : 0) << c.nameSize << "+" << c.valueSize;
    }
}

TEST(CookieStore, CookieLineStaysWithinWhatARequestCanCarry)
{
    CookieStore store;
    const QUrl url(QStringLiteral("http://www.example.no/a.jpg"));
    QByteArrayList big;
    for (int i = 0; i < 17; ++i)
        big << "k" + QByteArray::number(i).rightJustified(2, '0') + '=' + QByteArray(3996, 'x');
    big << "small=1";
    store.takeFromAnswer(big, url);
    ASSERT_EQ(store.cookiesForUrl(url).size(), 18);
    const QByteArray line = store.cookieLine(url);
    EXPECT_LE(line.size(), CookieStore::maxCookieLine);
    // 16 of the large ones fit; the small one after the one left out still goes.
    EXPECT_EQ(line.count("=x"), 16);
    EXPECT_TRUE(line.endsWith("; small=1"));
    EXPECT_TRUE(store.cookieLine(QUrl(QStringLiteral("http://other.example.no/"))).isEmpty());
}
