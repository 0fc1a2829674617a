#include "webdocs/httpurl.h"

#include <QByteArray>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

template <class Out>
void appendEscape(Out& out, unsigned char b)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[b >> 4];
    out += hex[b & 15];
}

[[noreturn]] void fail(const QString& what)
{
    throw HttpFetchError(what);
}

bool isHostCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
        || c == u'.' || c == u'-' || c == u'_' || c == u':' || c == u'%';
}

// Space and anything that cannot stand in a request line: percent-encoded as UTF-8 bytes,
// so a reference from the database never adds lines to the request. A "#" is part of the
// file's name (the local copy is named with it), so it goes to the server as "%23".
std::string requestTarget(const QString& pathAndQuery)
{
    std::string out;
    for (unsigned char b : pathAndQuery.toUtf8()) {
        if (b <= 0x20 || b >= 0x7f || b == '#')
            appendEscape(out, b);
        else
            out += char(b);
    }
    return out;
}

bool keptInFileName(unsigned char b)
{
    static const char kept[] = "/-._~!$&'()*+,;=:@";
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9')
        || (b != 0 && std::strchr(kept, b) != nullptr);
}

// Host names outside ASCII are looked up, and sent, in their IDNA form.
QString asciiHost(const QString& host)
{
    if (std::all_of(host.begin(), host.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return host;
    return QString::fromLatin1(QUrl::toAce(host, QUrl::AceTransitionalProcessing));
}

} // namespace

HttpTarget parseHttpUrl(const QString& url)
{
    static const QString plain = QStringLiteral("http://");
    static const QString secure = QStringLiteral("https://");
    HttpTarget target;
    target.secure = url.startsWith(secure, Qt::CaseInsensitive);
    if (!target.secure && !url.startsWith(plain, Qt::CaseInsensitive))
        fail(QStringLiteral("Only http and https are supported: ") + url);
    const int defaultPort = target.secure ? 443 : 80;
    const qsizetype authorityStart = target.secure ? secure.size() : plain.size();
    qsizetype authorityEnd = authorityStart;
    while (authorityEnd < url.size() && url[authorityEnd] != u'/' && url[authorityEnd] != u'?')
        ++authorityEnd;
    QString authority = url.mid(authorityStart, authorityEnd - authorityStart);
    authority = authority.mid(authority.lastIndexOf(u'@') + 1); // no authentication: user info is dropped

    QString host = authority;
    QString port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            fail(QStringLiteral("Bad host in ") + url);
        host = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                fail(QStringLiteral("Bad host in ") + url);
            port = rest.mid(1);
        }
    } else if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= 0) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    if (!authority.startsWith(u'['))
        host = asciiHost(host);
    if (host.isEmpty() || !std::all_of(host.begin(), host.end(), isHostCharacter))
        fail(QStringLiteral("Bad host in ") + url);
    bool portOk = true;
    const int portNumber = port.isEmpty() ? defaultPort : port.toInt(&portOk);
    if (!portOk || portNumber < 1 || portNumber > 65535)
        fail(QStringLiteral("Bad port in ") + url);

    target.host = host.toStdString();
    target.port = std::to_string(portNumber);
    target.hostHeader = authority.startsWith(u'[') ? "[" + target.host + "]" : target.host;
    if (portNumber != defaultPort)
        target.hostHeader += ":" + target.port;

    QString pathAndQuery = url.mid(authorityEnd);
    if (!pathAndQuery.startsWith(u'/'))
        pathAndQuery.prepend(u'/');
    target.path = requestTarget(pathAndQuery);
    return target;
}

QString fileNameInUrl(const QString& name)
{
    QString out;
    for (unsigned char b : name.toUtf8()) {
        if (keptInFileName(b))
            out += QChar(b);
        else
            appendEscape(out, b);
    }
    return out;
}

QString redirectTarget(const QString& from, const QByteArray& location)
{
    const QUrl next = QUrl(from).resolved(QUrl::fromEncoded(location.trimmed()));
    return next.toString(QUrl::FullyEncoded | QUrl::RemoveFragment); // a fragment never reaches the server
}
