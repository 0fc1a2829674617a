#pragma once
// The parts of an http or https URL that the download sends, taken as written.

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

// A server whose certificate does not verify; the message says why, for the log.
class HttpCertificateError : public HttpFetchError {
public:
    explicit HttpCertificateError(const QString& message) : HttpFetchError(message) {}
};

// The parts of a URL that reach the wire.
struct HttpTarget {
    bool secure = false;    // https
    std::string host;       // without brackets, in ASCII (IDNA) form, for the look-up
    std::string port;       // decimal, "80" (http) or "443" (https) when the URL gives none
    std::string hostHeader; // the host, ":" + port added when the port is not the scheme's own
    // Path and query as written, with "#" and bytes outside printable ASCII percent-encoded.
    // A document URL has no fragment: everything after the host names the file. "?" still
    // starts a query and "%" an escape, as in any web address the references may hold.
    std::string path;
};

// Throws HttpFetchError for anything but a well-formed "http://" or "https://" URL.
HttpTarget parseHttpUrl(const QString& url);

// A file name (with folders below the web folder, separated by "/") as it stands in a URL:
// every byte but letters, digits, "/" and "-._~!$&'()*+,;=:@" percent-encoded, so "?", "#"
// and "%" name the file instead of starting a query, a fragment or an escape.
QString fileNameInUrl(const QString& name);

// Where a redirect's Location (absolute, or relative to from) points.
QString redirectTarget(const QString& from, const QByteArray& location);
