#pragma once
// The parts of an http URL that the download sends, taken as written.

#include "common/errors.h"

#include <QString>
#include <string>

// Any failure of a fetch: bad URL, no connection, a status other than 2xx, an answer
// that breaks off, a sink that cannot take the body.
class HttpFetchError : public Error {
public:
    explicit HttpFetchError(const QString& message) : Error(message) {}
};

// A URL, or an address its host has, that the fetch policy does not allow: nothing was
// sent there. address is empty when the URL itself was refused.
class HttpRefusedError : public HttpFetchError {
public:
    HttpRefusedError(const QString& url, const QString& address)
        : HttpFetchError(QStringLiteral("Not fetched: ") + url), url(url), address(address)
    {
    }
    QString url;
    QString address;
};

// The parts of a URL that reach the wire.
struct HttpTarget {
    std::string host;       // without brackets, for the look-up
    std::string port;       // decimal, "80" when the URL gives none
    std::string hostHeader; // as written, ":" + port added when the port is not 80
    // Path and query as written, with "#" and bytes outside printable ASCII percent-encoded.
    // A document URL has no fragment: everything after the host names the file. "?" still
    // starts a query and "%" an escape, as in any web address the references may hold.
    std::string path;
};

// Throws HttpFetchError for anything but a well-formed "http://" URL.
HttpTarget parseHttpUrl(const QString& url);
