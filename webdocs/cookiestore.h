#pragma once
// The download window's cookies: Qt's jar for the cookie rules (RFC 6265 parsing, domain
// and path matching), kept within the limits browsers keep and taken in whole answers.

#include <QByteArrayList>
#include <QNetworkCookieJar>

class QUrl;

class CookieStore : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;

    // RFC 6265 section 6.1: a cookie's name and value together, cookies of one domain,
    // cookies in all. Beyond them the cookies set longest ago are dropped; a larger
    // cookie is refused.
    static constexpr qsizetype maxCookieSize = 4096;
    static constexpr int maxPerDomain = 50;
    static constexpr int maxCookies = 3000;
    // The longest Cookie line the HTTP client can put in a request.
    static constexpr qsizetype maxCookieLine = 65533;

    // Takes the "Set-Cookie" values of one answer from url, in the order they came; the
    // cost grows with the answer, not with the answer times the cookies already held.
    void takeFromAnswer(const QByteArrayList& setCookieValues, const QUrl& url);

    // The Cookie line for a request to url: name=value pairs joined by "; " (the jar's
    // order), empty when none applies. Pairs that would make it longer than
    // maxCookieLine are left out.
    QByteArray cookieLine(const QUrl& url) const;
};
