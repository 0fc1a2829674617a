#include "webdocs/hostlookup.h"

#include "webdocs/httpurl.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

std::vector<std::string> systemHostLookup(const std::string& host)
{
    boost::asio::io_context io;
    boost::asio::ip::tcp::resolver resolver(io);
    boost::system::error_code ec;
    const auto results = resolver.resolve(host, "0", boost::asio::ip::resolver_base::numeric_service, ec);
    if (ec)
        throw HttpFetchError(QStringLiteral("Cannot resolve ") + QString::fromStdString(host) + QStringLiteral(": ")
                             + QString::fromStdString(ec.message()));
    std::vector<std::string> addresses;
    for (const auto& entry : results)
        addresses.push_back(entry.endpoint().address().to_string());
    return addresses;
}

namespace {

// Shared with the look-up's thread, which may outlive the wait.
struct LookupState {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::vector<std::string> addresses;
    std::exception_ptr error;
};

} // namespace

std::vector<std::string> lookUpWithin(const HostLookup& lookup, const std::string& host,
                                      std::chrono::milliseconds limit, const std::function<void()>& waiting)
{
    auto state = std::make_shared<LookupState>();
    std::thread([state, lookup, host] {
        std::vector<std::string> addresses;
        std::exception_ptr error;
        try {
            addresses = lookup(host);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        state->addresses = std::move(addresses);
        state->error = error;
        state->finished = true;
        state->done.notify_all();
    }).detach();

    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(state->mutex);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (state->finished || now >= deadline)
            break;
        const auto slice = std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(50));
        if (state->done.wait_for(lock, slice, [&] { return state->finished; }))
            break;
        if (waiting) {
            lock.unlock();
            waiting();
            lock.lock();
        }
    }
    if (!state->finished)
        throw HttpFetchError(QStringLiteral("No answer from the name look-up of ") + QString::fromStdString(host));
    if (state->error)
        std::rethrow_exception(state->error);
    return state->addresses;
}
