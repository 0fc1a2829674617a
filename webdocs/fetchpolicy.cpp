#include "webdocs/fetchpolicy.h"

#include "common/hs_reg.h"

#include <QtEndian>
#include <algorithm>
#include <cctype>

namespace {

bool inNet(quint32 address, quint32 net, int bits)
{
    const quint32 mask = bits == 0 ? 0 : ~quint32(0) << (32 - bits);
    return (address & mask) == net;
}

bool isPublicIPv4(quint32 a)
{
    struct Net {
        quint32 net;
        int bits;
    };
    static constexpr Net local[] = {
        {0x00000000, 8},  // "this network": a connect to 0.0.0.0 reaches this computer
        {0x0A000000, 8},  // private
        {0x64400000, 10}, // shared address space of carrier NAT
        {0x7F000000, 8},  // loopback
        {0xA9FE0000, 16}, // link-local
        {0xAC100000, 12}, // private
        {0xC0A80000, 16}, // private
        {0xE0000000, 4},  // multicast
        {0xF0000000, 4},  // reserved and broadcast
    };
    return std::none_of(std::begin(local), std::end(local), [a](const Net& n) { return inNet(a, n.net, n.bits); });
}

quint32 ipv4At(const quint8* bytes)
{
    return qFromBigEndian<quint32>(bytes);
}

bool isPublicIPv6(const Q_IPV6ADDR& address)
{
    const quint8* b = address.c;
    const auto zeros = [b](int from, int to) { return std::all_of(b + from, b + to, [](quint8 x) { return x == 0; }); };
    if (zeros(0, 10) && b[10] == 0xff && b[11] == 0xff)
        return isPublicIPv4(ipv4At(b + 12)); // mapped
    if (zeros(0, 12))
        return isPublicIPv4(ipv4At(b + 12)); // compatible, "::" and "::1" among them
    if (b[0] == 0x00 && b[1] == 0x64 && b[2] == 0xff && b[3] == 0x9b && zeros(4, 12))
        return isPublicIPv4(ipv4At(b + 12)); // NAT64
    if (b[0] == 0x20 && b[1] == 0x02)
        return isPublicIPv4(ipv4At(b + 2)); // 6to4
    if (b[0] == 0xff)
        return false; // multicast
    if ((b[0] & 0xfe) == 0xfc)
        return false; // unique local
    if (b[0] == 0xfe && (b[1] & 0xc0) >= 0x80)
        return false; // link-local fe80::/10 and the old site-local fec0::/10
    return true;
}

// A URL from the database may carry line breaks; the log keeps one line.
QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            c = u'?';
    return out;
}

} // namespace

FetchPolicy FetchPolicy::unrestricted()
{
    FetchPolicy policy;
    policy.unrestricted_ = true;
    return policy;
}

FetchPolicy FetchPolicy::fromSettings()
{
    FetchPolicy policy;
    policy.trust(readinistring(QStringLiteral("DOC_URL")));
    for (int n = 1; n <= 9; ++n)
        policy.trust(readinistring(QStringLiteral("DOC_URL_TRANSELATE_0_%1").arg(n)));
    return policy;
}

FetchPolicy::Origin FetchPolicy::originOf(const HttpTarget& target)
{
    Origin origin{target.secure, target.host, target.port};
    std::transform(origin.host.begin(), origin.host.end(), origin.host.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return origin;
}

void FetchPolicy::trust(const QString& folderUrl)
{
    try {
        trusted_.push_back(originOf(parseHttpUrl(folderUrl)));
    } catch (const HttpFetchError&) {
        // an empty or unusable folder trusts no host
    }
}

FetchPolicy::Route FetchPolicy::route(const HttpTarget& target) const
{
    if (unrestricted_)
        return Route::Anywhere;
    if (std::find(trusted_.begin(), trusted_.end(), originOf(target)) != trusted_.end())
        return Route::Anywhere;
    return target.port == (target.secure ? "443" : "80") ? Route::PublicOnly : Route::Refused;
}

FetchPolicy::Route FetchPolicy::redirectRoute(const HttpTarget& from, const HttpTarget& to) const
{
    if (to.secure && !from.secure && originOf(to).host == originOf(from).host && route(from) == Route::Anywhere)
        return Route::Anywhere;
    return route(to);
}

FetchPolicy::Route FetchPolicy::route(const QString& url) const
{
    try {
        return route(parseHttpUrl(url));
    } catch (const HttpFetchError&) {
        return unrestricted_ ? Route::Anywhere : Route::Refused;
    }
}

bool isPublicAddress(const QHostAddress& address)
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return isPublicIPv4(address.toIPv4Address());
    case QAbstractSocket::IPv6Protocol:
        return isPublicIPv6(address.toIPv6Address());
    default:
        return false;
    }
}

QString refusedFetchLine(const QString& url, const QString& address)
{
    const QString why = address.isEmpty()
        ? QStringLiteral("verken nettmappens vert eller en offentlig adresse på standardporten")
        : QStringLiteral("adressen %1 er ikke offentlig").arg(printable(address));
    return QStringLiteral("ADVARSEL: Henter ikke %1 (%2)").arg(printable(url), why);
}
