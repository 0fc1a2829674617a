#include "webdocs/httpurl.h"

#include <algorithm>

namespace {

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
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : pathAndQuery.toUtf8()) {
        if (b <= 0x20 || b >= 0x7f || b == '#') {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += char(b);
        }
    }
    return out;
}

} // namespace

HttpTarget parseHttpUrl(const QString& url)
{
    static const QString scheme = QStringLiteral("http://");
    if (!url.startsWith(scheme, Qt::CaseInsensitive))
        fail(QStringLiteral("Only http is supported: ") + url);
    const qsizetype authorityStart = scheme.size();
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
    if (host.isEmpty() || !std::all_of(host.begin(), host.end(), isHostCharacter))
        fail(QStringLiteral("Bad host in ") + url);
    bool portOk = true;
    const int portNumber = port.isEmpty() ? 80 : port.toInt(&portOk);
    if (!portOk || portNumber < 1 || portNumber > 65535)
        fail(QStringLiteral("Bad port in ") + url);

    HttpTarget target;
    target.host = host.toStdString();
    target.port = std::to_string(portNumber);
    target.hostHeader = authority.startsWith(u'[') ? "[" + target.host + "]" : target.host;
    if (portNumber != 80)
        target.hostHeader += ":" + target.port;

    QString pathAndQuery = url.mid(authorityEnd);
    if (!pathAndQuery.startsWith(u'/'))
        pathAndQuery.prepend(u'/');
    target.path = requestTarget(pathAndQuery);
    return target;
}
