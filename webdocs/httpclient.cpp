#include "webdocs/httpclient.h"

#include "webdocs/cookiestore.h"

#include <QHostAddress>
#include <QUrl>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#ifndef _WIN32
#include <cerrno>
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <optional>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

using NativeSocket = asio::ip::tcp::socket::native_handle_type;

int pollOnce(NativeSocket fd, short events, int milliseconds)
{
    pollfd request{fd, events, 0};
#ifdef _WIN32
    return WSAPoll(&request, 1, milliseconds);
#else
    return ::poll(&request, 1, milliseconds);
#endif
}

bool waitReadable(NativeSocket fd, int milliseconds)
{
    return pollOnce(fd, POLLIN, milliseconds) > 0;
}

// The socket as Beast's synchronous reads and writes use it: each wait for the server
// ends with timed_out after the limit, so a server that stops sending cannot hold the
// window for ever.
struct StallGuardedSocket {
    tcp::socket& socket;
    std::chrono::milliseconds limit;

    // Whether the socket is ready for events before the limit; ec says why not.
    bool ready(short events, boost::system::error_code& ec)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            const int n = pollOnce(socket.native_handle(), events, int(std::max<std::int64_t>(left.count(), 0)));
            if (n > 0)
                return true;
#ifndef _WIN32
            if (n < 0 && errno == EINTR)
                continue;
#endif
            if (n == 0)
                ec = asio::error::timed_out;
            else
                ec.assign(errno, boost::system::system_category());
            return false;
        }
    }

    template <class MutableBuffers>
    std::size_t read_some(const MutableBuffers& buffers, boost::system::error_code& ec)
    {
        return ready(POLLIN, ec) ? socket.read_some(buffers, ec) : 0;
    }
    template <class ConstBuffers>
    std::size_t write_some(const ConstBuffers& buffers, boost::system::error_code& ec)
    {
        return ready(POLLOUT, ec) ? socket.write_some(buffers, ec) : 0;
    }
    // The throwing forms that the stream concepts also ask for.
    template <class MutableBuffers>
    std::size_t read_some(const MutableBuffers& buffers)
    {
        return orThrow([&](boost::system::error_code& ec) { return read_some(buffers, ec); });
    }
    template <class ConstBuffers>
    std::size_t write_some(const ConstBuffers& buffers)
    {
        return orThrow([&](boost::system::error_code& ec) { return write_some(buffers, ec); });
    }
    template <class Operation>
    static std::size_t orThrow(Operation operation)
    {
        boost::system::error_code ec;
        const std::size_t n = operation(ec);
        if (ec)
            throw boost::system::system_error(ec);
        return n;
    }
};

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
        || ec == asio::error::broken_pipe || ec == asio::error::connection_aborted;
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
    const QHostAddress qt = toQHostAddress(address);
    if (route == FetchPolicy::Route::PublicOnly && !isPublicAddress(qt))
        throw HttpRefusedError(url, qt.toString());
}

} // namespace

struct HttpClient::Connection {
    asio::io_context io;
    tcp::socket socket{io};
    beast::flat_buffer buffer;
    std::string host;
    std::string port;
    std::unique_ptr<char[]> body; // between the socket and the sink
    std::size_t bodyCapacity = 0;

    Connection() { buffer.reserve(65536); } // the parser reads no more than the capacity at a time

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
        if (buffer.size() > 0 || socket.available(ec) > 0)
            return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(pieceEnds - now);
        return waitReadable(socket.native_handle(), int(left.count()));
    }

    void close()
    {
        boost::system::error_code ignored;
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
        buffer.clear();
    }
};

namespace {

using Request = http::request<http::empty_body>;
using Parser = http::response_parser<http::buffer_body>;
using Sink = std::function<void(const char*, std::size_t)>;

// The address of the open connection, checked before each request that goes out on it.
void checkPeer(HttpClient::Connection& c, FetchPolicy::Route route, const QString& url)
{
    if (route != FetchPolicy::Route::PublicOnly)
        return;
    boost::system::error_code ec;
    const tcp::endpoint peer = c.socket.remote_endpoint(ec);
    if (ec)
        fail(QStringLiteral("Cannot tell the server's address"), ec);
    checkAddress(route, peer.address(), url);
}

// Connects within the limit: a host that never answers the connection fails like one
// that refuses it. A host with any address that the route does not allow is refused
// before a connection is tried.
void open(HttpClient::Connection& c, const HttpTarget& target, std::chrono::milliseconds limit,
          FetchPolicy::Route route, const QString& url)
{
    boost::system::error_code ec;
    tcp::resolver resolver(c.io);
    const auto endpoints = resolver.resolve(target.host, target.port, ec);
    if (ec)
        fail(QStringLiteral("Cannot resolve ") + QString::fromStdString(target.host), ec);
    for (const auto& entry : endpoints)
        checkAddress(route, entry.endpoint().address(), url);
    ec = asio::error::would_block;
    asio::async_connect(c.socket, endpoints, [&ec](const boost::system::error_code& result, const tcp::endpoint&) {
        ec = result;
    });
    c.io.restart();
    c.io.run_for(limit);
    if (ec == asio::error::would_block) {
        c.close(); // the pending attempt ends as aborted
        c.io.restart();
        c.io.run();
        ec = asio::error::timed_out;
    }
    if (ec)
        fail(QStringLiteral("Cannot connect to ") + QString::fromStdString(target.hostHeader), ec);
    c.socket.set_option(tcp::no_delay(true), ec);
}

void takeCookies(CookieStore& store, const Parser::value_type& header, const QUrl& url)
{
    QByteArrayList values;
    const auto [first, last] = header.equal_range(http::field::set_cookie);
    for (auto field = first; field != last; ++field)
        values << QByteArray(field->value().data(), qsizetype(field->value().size()));
    store.takeFromAnswer(values, url);
}


// Gathers an answer body in a buffer that goes to the sink (none for a failure's body,
// which is dropped) each time it is full, and ends pieces with a progress event.
struct BodyPieces {
    const Sink* sink;
    const HttpProgress& progress;
    char* buffer;
    std::size_t bufferSize;
    std::size_t pieceSize;
    std::chrono::milliseconds interval;
    std::int64_t received = 0;
    std::size_t filled = 0;  // in the buffer, not yet handed to the sink
    std::size_t inPiece = 0; // since the last progress event

    std::chrono::steady_clock::time_point nextEnd() const { return std::chrono::steady_clock::now() + interval; }

    // Where the next bytes go and how many fit there and in the piece.
    char* tail() const { return buffer + filled; }
    std::size_t room() const { return std::min(bufferSize - filled, pieceSize - inPiece); }
    bool pieceFull() const { return inPiece >= pieceSize; }

    void took(std::size_t n)
    {
        filled += n;
        inPiece += n;
        received += std::int64_t(n);
        if (filled == bufferSize)
            hand();
    }
    void hand()
    {
        if (sink && filled > 0)
            (*sink)(buffer, filled);
        filled = 0;
    }
    void endPiece()
    {
        hand();
        inPiece = 0;
        if (progress.work)
            progress.work(received);
    }
    [[noreturn]] void brokeOff(const boost::system::error_code& ec)
    {
        hand(); // the ".part" file keeps what came
        fail(QStringLiteral("The answer broke off"), ec);
    }
};

// A piece ends when its time is up, when it holds pieceSize bytes or with the body: a slow
// answer still shows progress, a fast one repaints the window a few dozen times a second
// whatever the size of the buffer.

// A body of known length goes straight from the socket into the buffer.
void readCountedBody(HttpClient::Connection& c, StallGuardedSocket& wire, std::uint64_t remaining, BodyPieces& out)
{
    while (remaining > 0) {
        const auto pieceEnds = out.nextEnd();
        do {
            const auto room = std::size_t(std::min<std::uint64_t>(out.room(), remaining));
            std::size_t n;
            if (c.buffer.size() > 0) {
                n = asio::buffer_copy(asio::buffer(out.tail(), room), c.buffer.data());
                c.buffer.consume(n);
            } else {
                boost::system::error_code ec;
                n = wire.read_some(asio::buffer(out.tail(), room), ec);
                if (ec)
                    out.brokeOff(ec);
            }
            remaining -= n;
            out.took(n);
        } while (remaining > 0 && !out.pieceFull() && c.moreComing(pieceEnds));
        out.endPiece();
    }
}

// Chunked bodies and bodies ended by the closing connection go through the parser.
void readParsedBody(HttpClient::Connection& c, StallGuardedSocket& wire, Parser& parser, BodyPieces& out)
{
    while (!parser.is_done()) {
        const auto pieceEnds = out.nextEnd();
        do {
            auto& body = parser.get().body();
            const std::size_t room = out.room();
            body.data = out.tail();
            body.size = room;
            boost::system::error_code ec;
            http::read_some(wire, c.buffer, parser, ec);
            if (ec == http::error::need_buffer)
                ec = {};
            out.took(room - parser.get().body().size);
            if (ec)
                out.brokeOff(ec);
        } while (!parser.is_done() && !out.pieceFull() && c.moreComing(pieceEnds));
        out.endPiece();
    }
}

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

void HttpClient::get(const QString& url, const Sink& sink, const HttpProgress& progress)
{
    const HttpTarget target = parseHttpUrl(url);
    const FetchPolicy::Route route = policy.route(target);
    if (route == FetchPolicy::Route::Refused)
        throw HttpRefusedError(url, QString());
    const QUrl cookieUrl(url);

    Request request{http::verb::get, target.path, 11};
    request.set(http::field::host, target.hostHeader);
    request.set(http::field::accept, "text/html, */*");
    request.set(http::field::accept_encoding, "identity");
    request.set(http::field::user_agent, "Mozilla/3.0 (compatible; Indy Library)");
    const QByteArray cookieLine = cookies_.cookieLine(cookieUrl);
    if (!cookieLine.isEmpty())
        request.set(http::field::cookie, beast::string_view(cookieLine.constData(), std::size_t(cookieLine.size())));

    if (!connection_)
        connection_ = std::make_unique<Connection>();
    Connection& c = *connection_;
    StallGuardedSocket wire{c.socket, stallLimit};
    const bool reused = c.socket.is_open() && c.host == target.host && c.port == target.port;
    bool answerComplete = false;

    // Runs one request and answer; false when a reused connection turned out to be closed.
    auto exchange = [&](bool mayBeStale) -> bool {
        boost::system::error_code ec;
        http::write(wire, request, ec);
        if (ec) {
            if (mayBeStale && isStaleError(ec))
                return false;
            fail(QStringLiteral("Cannot send the request"), ec);
        }

        std::optional<Parser> parser;
        for (bool first = true;; first = false) {
            parser.emplace();
            parser->body_limit(std::numeric_limits<std::uint64_t>::max());
            parser->header_limit(1 << 20);
            http::read_header(wire, c.buffer, *parser, ec);
            if (ec) {
                if (first && mayBeStale && isStaleError(ec) && !parser->got_some() && c.buffer.size() == 0)
                    return false;
                fail(QStringLiteral("Cannot read the answer"), ec);
            }
            takeCookies(cookies_, parser->get(), cookieUrl);
            const unsigned status = parser->get().result_int();
            if (status / 100 != 1)
                break;
            if (status != 100)
                fail(QStringLiteral("Unexpected interim answer %1").arg(status));
        }

        const unsigned status = parser->get().result_int();
        const bool success = status / 100 == 2;
        if (!parser->is_done()) {
            const auto length = parser->content_length();
            if (progress.begin)
                progress.begin(length ? std::int64_t(*length) : 0);
            const std::size_t size = length ? std::size_t(std::min<std::uint64_t>(*length, writeSize)) : writeSize;
            BodyPieces out{success ? &sink : nullptr, progress, c.bodyBuffer(size), size, pieceSize, pieceInterval};
            if (length && !parser->chunked())
                readCountedBody(c, wire, *length, out);
            else
                readParsedBody(c, wire, *parser, out);
            if (progress.end)
                progress.end();
        }

        answerComplete = true;
        const bool keepAlive = parser->get().version() == 11 && parser->keep_alive() && c.buffer.size() == 0;
        if (!keepAlive)
            c.close();
        if (!success)
            fail(QStringLiteral("HTTP/1.1 %1 %2")
                     .arg(status)
                     .arg(QString::fromStdString(std::string(parser->get().reason()))));
        return true;
    };

    try {
        if (!reused) {
            c.close();
            open(c, target, stallLimit, route, url);
            c.host = target.host;
            c.port = target.port;
        }
        checkPeer(c, route, url);
        if (exchange(reused))
            return;
        c.close();
        open(c, target, stallLimit, route, url);
        checkPeer(c, route, url);
        exchange(false);
    } catch (...) {
        // Only a fully read answer leaves the connection usable.
        if (!answerComplete)
            c.close();
        throw;
    }
}
