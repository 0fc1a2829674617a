#pragma once
// Which web addresses a picture reference may make the program fetch. The references come
// from a database that every workstation shares, so one of them must not turn each
// workstation into a client of the services on its own network: the shop's own web
// folders are fetched from wherever they are, any other address only on the default port
// of its scheme and only from a public address.

#include "webdocs/httpurl.h"

#include <QHostAddress>
#include <QString>
#include <string>
#include <vector>

class FetchPolicy {
public:
    enum class Route {
        Anywhere,   // the host and port of a trusted web folder
        PublicOnly, // every address the host resolves to, and the one connected to, must be public
        Refused,
    };

    // Trusts no web folder.
    FetchPolicy() = default;
    // Fetches anything from anywhere: for callers that checked the address themselves.
    static FetchPolicy unrestricted();
    // Trusts DOC_URL and the web folders of the nine translation pairs, read from the
    // settings store's current section.
    static FetchPolicy fromSettings();

    // Trusts the scheme, host and port of a web folder address; anything but an http or
    // https address adds nothing.
    void trust(const QString& folderUrl);

    Route route(const HttpTarget& target) const;
    // Refused for anything but a well-formed http or https address.
    Route route(const QString& url) const;
    // The route of a redirect. A web folder's server that moves a picture to https on its
    // own host is followed there on any port, as it would be to the web folder itself;
    // every other redirect takes the route of where it points.
    Route redirectRoute(const HttpTarget& from, const HttpTarget& to) const;

private:
    struct Origin {
        bool secure = false;
        std::string host; // lower case
        std::string port;
        bool operator==(const Origin&) const = default;
    };
    static Origin originOf(const HttpTarget& target);

    std::vector<Origin> trusted_;
    bool unrestricted_ = false;
};

// False for loopback, link-local, private, shared (carrier NAT), multicast, reserved and
// unspecified addresses, IPv4 and IPv6 alike; an IPv6 address that carries an IPv4 one
// (mapped, compatible, NAT64, 6to4) is judged by the IPv4 address.
bool isPublicAddress(const QHostAddress& address);

// The warning logged for a URL that is not fetched; address is the one refused, empty
// when the URL itself was.
QString refusedFetchLine(const QString& url, const QString& address = QString());
