#include "webdocs/httpclient.h"

#include "webdocs/cookiestore.h"
#include "webdocs/httpbody.h"
#include "webdocs/stallguard.h"
#include "webdocs/tlsclient.h"

#include <QHostAddress>
#include <QStringList>
#include <QUrl>

#include <boost/asio/connect.hpp>
#include <boost/asio/write.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/error.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <optional>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = asio::ssl;
using tcp = asio::ip::tcp;

namespace {

[[noreturn]] void fail(const QString& what)
{
    throw HttpFetchError(what);
}

[[noreturn]] void fail(const QString& what, const boost::system::error_code& ec)
{
    throw HttpFetchError(what + QStringLiteral(": ") + QString::fromStdString(ec.message()));
}

// How a reused connection that the server closed while it was idle shows itself.
bool isStaleError(const boost::system::error_code& ec)
{
    return ec == http::error::end_of_stream || ec == asio::error::eof || ec == asio::error::connection_reset
        || ec == asio::error::broken_pipe || ec == asio::error::connection_aborted
        || ec == ssl::error::stream_truncated;
}

bool isRedirect(unsigned status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QHostAddress toQHostAddress(const asio::ip::address& address)
{
    if (address.is_v4())
        return QHostAddress(address.to_v4().to_uint());
    const auto bytes = address.to_v6().to_bytes();
    Q_IPV6ADDR raw;
    std::memcpy(raw.c, bytes.data(), bytes.size());
    return QHostAddress(raw);
}

// On the route for hosts other than the web folders' only a public address may be used.
void checkAddress(FetchPolicy::Route route, const asio::ip::address& address, const QString& url)
{
    if (route != FetchPolicy::Route::PublicOnly)
        return;
    const QHostAddress qt = toQHostAddress(address);
    if (!isPublicAddress(qt))
        throw HttpRefusedError(url, qt.toString());
}

} // namespace

struct HttpClient::Connection {
    asio::io_context io;
    tcp::socket socket{io};
    LowestRate rate;
    StallGuardedSocket plain{&socket, std::chrono::seconds(60), &rate};
    std::unique_ptr<ssl::context> tlsContext; // made at the first https address
    std::optional<ssl::stream<StallGuardedSocket>> tls;
    beast::flat_buffer buffer;
    bool secure = false;
    std::string host;
    std::string port;
    std::unique_ptr<char[]> body; // between the socket and the sink
    std::size_t bodyCapacity = 0;

    Connection() { buffer.reserve(65536); } // the parser reads no more than the capacity at a time

    bool serves(const HttpTarget& target) const
    {
        return socket.is_open() && secure == target.secure && host == target.host && port == target.port;
    }

    void setLimit(std::chrono::milliseconds limit)
    {
        plain.limit = limit;
        if (tls)
            tls->next_layer().limit = limit;
    }

    // Runs operation on the stream the answer comes through: TLS or the plain socket.
    template <class Operation>
    decltype(auto) withWire(Operation&& operation)
    {
        if (tls)
            return operation(*tls);
        return operation(plain);
    }

    char* bodyBuffer(std::size_t size)
    {
        if (bodyCapacity < size) {
            body = std::make_unique_for_overwrite<char[]>(size);
            bodyCapacity = size;
        }
        return body.get();
    }

    // Whether the piece being filled goes on: its time is not up, and more of the answer
    // is already here or comes before then.
    bool moreComing(std::chrono::steady_clock::time_point pieceEnds)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now >= pieceEnds)
            return false;
        boost::system::error_code ec;
        if (buffer.size() > 0 || (tls && tlsHasBuffered(tls->native_handle())) || socket.available(ec) > 0)
            return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(pieceEnds - now);
        return stallguard::waitReadable(socket.native_handle(), int(left.count()));
    }

    // The address of the open connection, checked before each request that goes out on it.
    void checkPeer(FetchPolicy::Route route, const QString& url)
    {
        if (route != FetchPolicy::Route::PublicOnly)
            return;
        boost::system::error_code ec;
        const tcp::endpoint peer = socket.remote_endpoint(ec);
        if (ec)
            fail(QStringLiteral("Cannot tell the server's address"), ec);
        checkAddress(route, peer.address(), url);
    }

    void close()
    {
        tls.reset(); // no close_notify: nothing is waited for on the way out
        boost::system::error_code ignored;
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
        buffer.clear();
    }
};

namespace {

using Request = http::request<http::empty_body>;
using Sink = BodySink;

// How one request went, when the answer was read whole.
struct Answer {
    bool stale = false; // a reused connection turned out to be closed; nothing was read
    unsigned status = 0;
    std::string reason;
    std::string location; // of a redirect
    bool keepAlive = false;
};

// The request's bytes in one piece: over TLS each buffer written is a record of its own,
// and a head written field by field costs a record and a send per field.
std::string makeRequest(const HttpTarget& target, const QByteArray& cookieLine)
{
    Request request{http::verb::get, target.path, 11};
    request.set(http::field::host, target.hostHeader);
    request.set(http::field::accept, "text/html, */*");
    request.set(http::field::accept_encoding, "identity");
    request.set(http::field::user_agent, "Mozilla/3.0 (compatible; Indy Library)");
    if (!cookieLine.isEmpty())
        request.set(http::field::cookie, beast::string_view(cookieLine.constData(), std::size_t(cookieLine.size())));
    http::serializer<true, http::empty_body> serializer(request);
    std::string bytes;
    boost::system::error_code ec;
    while (!serializer.is_done()) {
        serializer.next(ec, [&](boost::system::error_code&, const auto& buffers) {
            const std::size_t size = asio::buffer_size(buffers);
            const std::size_t at = bytes.size();
            bytes.resize(at + size);
            asio::buffer_copy(asio::buffer(bytes.data() + at, size), buffers);
            serializer.consume(size);
        });
    }
    return bytes;
}

void takeCookies(CookieStore& store, const BodyParser::value_type& header, const QUrl& url)
{
    QByteArrayList values;
    const auto [first, last] = header.equal_range(http::field::set_cookie);
    for (auto field = first; field != last; ++field)
        values << QByteArray(field->value().data(), qsizetype(field->value().size()));
    store.takeFromAnswer(values, url);
}

struct Exchange {
    HttpClient& client;
    HttpClient::Connection& c;
    CookieStore& cookies;
    const std::string& request;
    const QUrl& cookieUrl;
    const Sink& sink;
    const HttpProgress& progress;

    // Sends the request and reads the whole answer; throws for anything that leaves the
    // connection unusable.
    template <class Wire>
    Answer run(Wire& wire, bool mayBeStale)
    {
        boost::system::error_code ec;
        asio::write(wire, asio::buffer(request), ec);
        if (ec) {
            if (mayBeStale && isStaleError(ec))
                return Answer{true};
            fail(QStringLiteral("Cannot send the request"), ec);
        }

        std::optional<BodyParser> parser;
        int interim = 0;
        for (bool first = true;; first = false) {
            parser.emplace();
            parser->body_limit(std::numeric_limits<std::uint64_t>::max());
            parser->header_limit(1 << 20);
            http::read_header(wire, c.buffer, *parser, ec);
            if (ec) {
                if (first && mayBeStale && isStaleError(ec) && !parser->got_some() && c.buffer.size() == 0)
                    return Answer{true};
                fail(QStringLiteral("Cannot read the answer"), ec);
            }
            takeCookies(cookies, parser->get(), cookieUrl);
            const unsigned status = parser->get().result_int();
            if (status / 100 != 1)
                break;
            if (status != 100)
                fail(QStringLiteral("Unexpected interim answer %1").arg(status));
            if (++interim > HttpClient::maxInterimAnswers)
                fail(QStringLiteral("More than %1 interim answers").arg(HttpClient::maxInterimAnswers));
        }

        Answer answer;
        const auto& head = parser->get();
        answer.status = head.result_int();
        answer.reason = std::string(head.reason());
        if (isRedirect(answer.status))
            answer.location = std::string(head[http::field::location]);
        const bool success = answer.status / 100 == 2;
        // A redirect's body is no part of the download: no progress, nothing written.
        const HttpProgress* shown = answer.location.empty() ? &progress : nullptr;
        bool whole = true;
        if (!parser->is_done()) {
            const auto length = parser->content_length();
            if (shown && shown->begin)
                shown->begin(length ? std::int64_t(*length) : 0);
            const std::size_t size = length ? std::size_t(std::min<std::uint64_t>(*length, client.writeSize))
                                            : client.writeSize;
            const std::uint64_t limit = success ? std::numeric_limits<std::uint64_t>::max() : client.maxDroppedBody;
            BodyPieces out{success ? &sink : nullptr, shown, c.bodyBuffer(size), size, client.pieceSize,
                           client.pieceInterval, limit};
            const auto moreComing = [this](auto pieceEnds) { return c.moreComing(pieceEnds); };
            if (length && !parser->chunked())
                whole = readCountedBody(wire, c.buffer, *length, out, moreComing);
            else
                whole = readParsedBody(wire, c.buffer, *parser, out, moreComing);
            if (shown && shown->end)
                shown->end();
        }
        answer.keepAlive = whole && head.version() == 11 && parser->keep_alive() && c.buffer.size() == 0;
        return answer;
    }
};

} // namespace

HttpClient::HttpClient(CookieStore& cookies) : cookies_(cookies) {}

HttpClient::~HttpClient() = default;

void HttpClient::disconnect()
{
    if (connection_)
        connection_->close();
}

bool HttpClient::connected() const
{
    return connection_ && connection_->socket.is_open();
}

// The one place a connection is made: look-up, connect and, for https, the handshake,
// each within the stall limit. A host with any address that the route does not allow is
// refused before a connection is tried.
void HttpClient::open(Connection& c, const HttpTarget& target, const HttpProgress& progress, FetchPolicy::Route route,
                      const QString& url)
{
    c.close();
    const auto port = static_cast<unsigned short>(std::stoi(target.port));
    std::vector<tcp::endpoint> endpoints;
    boost::system::error_code ec;
    const auto numeric = asio::ip::make_address(target.host, ec);
    if (!ec) {
        endpoints.emplace_back(numeric, port);
    } else {
        for (const std::string& address : lookUpWithin(lookup, target.host, stallLimit, progress.waiting)) {
            const auto found = asio::ip::make_address(address, ec);
            if (!ec)
                endpoints.emplace_back(found, port);
        }
        if (endpoints.empty())
            fail(QStringLiteral("No address for ") + QString::fromStdString(target.host));
    }
    for (const tcp::endpoint& endpoint : endpoints)
        checkAddress(route, endpoint.address(), url);

    ec = asio::error::would_block;
    asio::async_connect(c.socket, endpoints, [&ec](const boost::system::error_code& result, const tcp::endpoint&) {
        ec = result;
    });
    c.io.restart();
    const auto deadline = std::chrono::steady_clock::now() + stallLimit;
    for (auto now = std::chrono::steady_clock::now(); ec == asio::error::would_block && now < deadline;
         now = std::chrono::steady_clock::now()) {
        c.io.run_for(std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(50)));
        if (ec == asio::error::would_block && progress.waiting)
            progress.waiting();
    }
    if (ec == asio::error::would_block) {
        c.close(); // the pending attempt ends as aborted
        c.io.restart();
        c.io.run();
        ec = asio::error::timed_out;
    }
    if (ec)
        fail(QStringLiteral("Cannot connect to ") + QString::fromStdString(target.hostHeader), ec);
    c.socket.set_option(tcp::no_delay(true), ec);
    c.rate.start(lowestRateBytes, lowestRatePeriod, std::chrono::steady_clock::now()); // the handshake counts

    if (target.secure) {
        if (!c.tlsContext)
            c.tlsContext = makeTlsContext();
        c.tls.emplace(StallGuardedSocket{&c.socket, stallLimit, &c.rate}, *c.tlsContext);
        prepareTlsSession(c.tls->native_handle(), target);
        c.tls->handshake(ssl::stream_base::client, ec);
        if (ec)
            failHandshake(c.tls->native_handle(), target, ec); // the caller closes the connection
    }
    c.secure = target.secure;
    c.host = target.host;
    c.port = target.port;
}

std::string HttpClient::fetchOnce(const QString& url, const HttpTarget& target, FetchPolicy::Route route,
                                  const Sink& sink, const HttpProgress& progress)
{
    const QUrl cookieUrl(url);
    const std::string request = makeRequest(target, cookies_.cookieLine(cookieUrl));
    if (!connection_)
        connection_ = std::make_unique<Connection>();
    Connection& c = *connection_;
    c.setLimit(stallLimit);
    Exchange exchange{*this, c, cookies_, request, cookieUrl, sink, progress};
    const auto round = [&](bool mayBeStale) {
        return c.withWire([&](auto& wire) { return exchange.run(wire, mayBeStale); });
    };

    Answer answer;
    try {
        const bool reused = c.serves(target);
        if (reused)
            c.rate.start(lowestRateBytes, lowestRatePeriod, std::chrono::steady_clock::now());
        else
            open(c, target, progress, route, url);
        c.checkPeer(route, url);
        answer = round(reused);
        if (answer.stale) {
            open(c, target, progress, route, url);
            c.checkPeer(route, url);
            answer = round(false);
        }
    } catch (...) {
        c.close(); // only a fully read answer leaves the connection usable
        throw;
    }
    if (!answer.keepAlive)
        c.close();
    if (!answer.location.empty())
        return answer.location;
    if (answer.status / 100 != 2)
        fail(QStringLiteral("HTTP/1.1 %1 %2").arg(answer.status).arg(QString::fromStdString(answer.reason)));
    return {};
}

void HttpClient::get(const QString& url, const Sink& sink, const HttpProgress& progress)
{
    QString current = url;
    QStringList visited{redirectTarget(url, {})};
    std::optional<HttpTarget> from; // the answer that redirected here
    for (int redirects = 0;; ++redirects) {
        const HttpTarget target = parseHttpUrl(current);
        const FetchPolicy::Route route = from ? policy.redirectRoute(*from, target) : policy.route(target);
        if (route == FetchPolicy::Route::Refused)
            throw HttpRefusedError(current, QString());
        const std::string location = fetchOnce(current, target, route, sink, progress);
        if (location.empty())
            return;
        if (redirects == maxRedirects)
            fail(QStringLiteral("More than %1 redirects from ").arg(maxRedirects) + url);
        const QString next = redirectTarget(current, QByteArray::fromStdString(location));
        if (target.secure && !parseHttpUrl(next).secure)
            fail(QStringLiteral("Redirect from https to http: ") + next);
        if (visited.contains(next))
            fail(QStringLiteral("Redirect loop at ") + next);
        visited << next;
        current = next;
        from = target;
    }
}
