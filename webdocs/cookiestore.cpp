#include "webdocs/cookiestore.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QNetworkCookie>
#include <QUrl>

#include <algorithm>

namespace {

// What makes two cookies the same cookie: name, domain and path.
struct Identity {
    QByteArray name;
    QString domain;
    QString path;
    bool operator==(const Identity&) const = default;
};

size_t qHash(const Identity& id, size_t seed = 0)
{
    return qHashMulti(seed, id.name, id.domain, id.path);
}

Identity identity(const QNetworkCookie& cookie)
{
    return {cookie.name(), cookie.domain(), cookie.path()};
}

bool expired(const QNetworkCookie& cookie, const QDateTime& now)
{
    return !cookie.isSessionCookie() && cookie.expirationDate() < now;
}

// "example.no" and ".example.no" share their limit.
QString domainOf(const QNetworkCookie& cookie)
{
    QString domain = cookie.domain();
    if (domain.startsWith(QLatin1Char('.')))
        domain.remove(0, 1);
    return domain;
}

} // namespace

void CookieStore::takeFromAnswer(const QByteArrayList& setCookieValues, const QUrl& url)
{
    QList<QNetworkCookie> incoming;
    for (const QByteArray& value : setCookieValues) {
        for (QNetworkCookie cookie : QNetworkCookie::parseCookies(value)) {
            if (cookie.name().size() + cookie.value().size() > maxCookieSize)
                continue;
            cookie.normalize(url);
            if (validateCookie(cookie, url))
                incoming << cookie;
        }
    }
    if (incoming.isEmpty())
        return;

    // Qt's own insert looks through every cookie held for each one taken; the answer is
    // merged in one pass instead, newest first: the last cookie of each identity wins (an
    // expired one deletes), and the limits keep the newest. A cookie set again counts as
    // set now.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QSet<Identity> seen;
    QHash<QString, int> perDomain;
    QList<QNetworkCookie> kept;
    const auto offer = [&](const QNetworkCookie& cookie) {
        int& domainCount = perDomain[domainOf(cookie)];
        if (kept.size() >= maxCookies || domainCount >= maxPerDomain)
            return; // nothing set earlier can stay
        const Identity id = identity(cookie);
        if (seen.contains(id))
            return;
        seen.insert(id);
        if (!expired(cookie, now)) {
            ++domainCount;
            kept << cookie;
        }
    };
    for (auto cookie = incoming.crbegin(); cookie != incoming.crend(); ++cookie)
        offer(*cookie);
    const QList<QNetworkCookie> held = allCookies();
    for (auto cookie = held.crbegin(); cookie != held.crend(); ++cookie)
        offer(*cookie);
    std::reverse(kept.begin(), kept.end());
    setAllCookies(kept);
}

QByteArray CookieStore::cookieLine(const QUrl& url) const
{
    QByteArray line;
    for (const QNetworkCookie& cookie : cookiesForUrl(url)) {
        const QByteArray pair = cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
        const qsizetype separator = line.isEmpty() ? 0 : 2;
        if (line.size() + separator + pair.size() > maxCookieLine)
            continue;
        if (separator)
            line += "; ";
        line += pair;
    }
    return line;
}
