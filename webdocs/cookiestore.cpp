#include "webdocs/cookiestore.h"

#include <QDateTime>
#include <QHash>
#include <QNetworkCookie>
#include <QUrl>

#include <algorithm>

namespace {

// What makes two cookies the same cookie: name, domain and path.
QByteArray identity(const QNetworkCookie& cookie)
{
    return cookie.name() + '\0' + cookie.domain().toUtf8() + '\0' + cookie.path().toUtf8();
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

    // Qt's own insert looks through every cookie held for each one taken; a whole answer
    // is merged at once instead. A cookie set again counts as set now.
    QHash<QByteArray, qsizetype> lastSet;
    for (qsizetype i = 0; i < incoming.size(); ++i)
        lastSet.insert(identity(incoming[i]), i);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> merged;
    for (const QNetworkCookie& held : allCookies())
        if (!lastSet.contains(identity(held)) && !expired(held, now))
            merged << held;
    for (qsizetype i = 0; i < incoming.size(); ++i)
        if (lastSet.value(identity(incoming[i])) == i && !expired(incoming[i], now)) // an expired one deletes
            merged << incoming[i];

    // Newest first, keep what the limits allow.
    QList<QNetworkCookie> kept;
    QHash<QString, int> perDomain;
    for (qsizetype i = merged.size() - 1; i >= 0 && kept.size() < maxCookies; --i)
        if (++perDomain[domainOf(merged[i])] <= maxPerDomain)
            kept << merged[i];
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
