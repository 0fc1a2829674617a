#pragma once
// The socket as the HTTP client's synchronous reads and writes use it, for plain http and
// under TLS alike: each wait for the server ends with timed_out after the limit, or
// sooner when the server falls below its lowest rate, so a server that stops sending, or
// drips, cannot hold the window for ever.

#include "webdocs/lowestrate.h"

#include <boost/asio/error.hpp>
#include <boost/asio/ip/tcp.hpp>

#ifndef _WIN32
#include <cerrno>
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace stallguard {

using NativeSocket = boost::asio::ip::tcp::socket::native_handle_type;

inline int pollOnce(NativeSocket fd, short events, int milliseconds)
{
    pollfd request{fd, events, 0};
#ifdef _WIN32
    return WSAPoll(&request, 1, milliseconds);
#else
    return ::poll(&request, 1, milliseconds);
#endif
}

inline bool waitReadable(NativeSocket fd, int milliseconds)
{
    return pollOnce(fd, POLLIN, milliseconds) > 0;
}

} // namespace stallguard

struct StallGuardedSocket {
    using tcp = boost::asio::ip::tcp;
    // What Asio's SSL stream asks of the layer below it.
    using lowest_layer_type = tcp::socket::lowest_layer_type;
    using executor_type = tcp::socket::executor_type;

    tcp::socket* socket;
    std::chrono::milliseconds limit;
    LowestRate* rate = nullptr; // not owned; counts what is read

    lowest_layer_type& lowest_layer() { return socket->lowest_layer(); }
    const lowest_layer_type& lowest_layer() const { return socket->lowest_layer(); }
    executor_type get_executor() { return socket->get_executor(); }

    // Whether the socket is ready for events before the limit; ec says why not.
    bool ready(short events, boost::system::error_code& ec)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        if (rate)
            deadline = std::min(deadline, rate->deadline());
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            const int n = stallguard::pollOnce(socket->native_handle(), events,
                                               int(std::max<std::int64_t>(left.count(), 0)));
            if (n > 0)
                return true;
#ifndef _WIN32
            if (n < 0 && errno == EINTR)
                continue;
#endif
            if (n == 0)
                ec = boost::asio::error::timed_out;
            else
                ec.assign(errno, boost::system::system_category());
            return false;
        }
    }

    template <class MutableBuffers>
    std::size_t read_some(const MutableBuffers& buffers, boost::system::error_code& ec)
    {
        const std::size_t n = ready(POLLIN, ec) ? socket->read_some(buffers, ec) : 0;
        if (rate)
            rate->took(n, std::chrono::steady_clock::now());
        return n;
    }
    template <class ConstBuffers>
    std::size_t write_some(const ConstBuffers& buffers, boost::system::error_code& ec)
    {
        return ready(POLLOUT, ec) ? socket->write_some(buffers, ec) : 0;
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
