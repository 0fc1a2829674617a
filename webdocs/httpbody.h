#pragma once
// Reading an answer body in pieces, over plain http or TLS alike (the client's own use).

#include "webdocs/httpclient.h"
#include "webdocs/httpurl.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>

using BodySink = std::function<void(const char*, std::size_t)>;
using BodyParser = boost::beast::http::response_parser<boost::beast::http::buffer_body>;

// Gathers an answer body in a buffer that goes to the sink (none for a body that is
// dropped) each time it is full, and ends pieces with a progress event (none for a
// redirect's body, which the user never sees).
struct BodyPieces {
    const BodySink* sink;
    const HttpProgress* progress;
    char* buffer;
    std::size_t bufferSize;
    std::size_t pieceSize;
    std::chrono::milliseconds interval;
    std::uint64_t limit; // read no more of the body than this
    std::int64_t received = 0;
    std::size_t filled = 0;  // in the buffer, not yet handed to the sink
    std::size_t inPiece = 0; // since the last progress event

    std::chrono::steady_clock::time_point nextEnd() const { return std::chrono::steady_clock::now() + interval; }

    // Where the next bytes go and how many fit there and in the piece.
    char* tail() const { return buffer + filled; }
    std::size_t room() const
    {
        return std::size_t(std::min<std::uint64_t>(std::min(bufferSize - filled, pieceSize - inPiece),
                                                   limit - std::uint64_t(received)));
    }
    bool pieceFull() const { return inPiece >= pieceSize; }
    bool full() const { return std::uint64_t(received) >= limit; }

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
        if (progress && progress->work)
            progress->work(received);
    }
    [[noreturn]] void brokeOff(const boost::system::error_code& ec)
    {
        hand(); // the sink gets what came before the break
        throw HttpFetchError(QStringLiteral("The answer broke off: ") + QString::fromStdString(ec.message()));
    }
};

// A piece ends when its time is up, when it holds pieceSize bytes or with the body: a slow
// answer still shows progress, a fast one repaints the window a few dozen times a second
// whatever the size of the buffer. moreComing(pieceEnds) says whether more of the answer is
// here or comes before then.

// Each returns whether the whole body was read: false when it stopped at out's limit.

// A body of known length goes straight from the wire into the buffer.
template <class Wire, class MoreComing>
bool readCountedBody(Wire& wire, boost::beast::flat_buffer& buffer, std::uint64_t remaining, BodyPieces& out,
                     MoreComing moreComing)
{
    while (remaining > 0 && !out.full()) {
        const auto pieceEnds = out.nextEnd();
        do {
            const auto room = std::size_t(std::min<std::uint64_t>(out.room(), remaining));
            std::size_t n;
            if (buffer.size() > 0) {
                n = boost::asio::buffer_copy(boost::asio::buffer(out.tail(), room), buffer.data());
                buffer.consume(n);
            } else {
                boost::system::error_code ec;
                n = wire.read_some(boost::asio::buffer(out.tail(), room), ec);
                if (ec)
                    out.brokeOff(ec);
            }
            remaining -= n;
            out.took(n);
        } while (remaining > 0 && !out.pieceFull() && !out.full() && moreComing(pieceEnds));
        out.endPiece();
    }
    return remaining == 0;
}

// Chunked bodies and bodies ended by the closing connection go through the parser.
template <class Wire, class MoreComing>
bool readParsedBody(Wire& wire, boost::beast::flat_buffer& buffer, BodyParser& parser, BodyPieces& out,
                    MoreComing moreComing)
{
    while (!parser.is_done() && !out.full()) {
        const auto pieceEnds = out.nextEnd();
        do {
            auto& body = parser.get().body();
            const std::size_t room = out.room();
            body.data = out.tail();
            body.size = room;
            boost::system::error_code ec;
            boost::beast::http::read_some(wire, buffer, parser, ec);
            if (ec == boost::beast::http::error::need_buffer)
                ec = {};
            out.took(room - parser.get().body().size);
            if (ec)
                out.brokeOff(ec);
        } while (!parser.is_done() && !out.pieceFull() && !out.full() && moreComing(pieceEnds));
        out.endPiece();
    }
    return parser.is_done();
}
