#pragma once
// The download window's HTTP/1.1 client: http and https (TLS 1.2 or newer, certificates
// verified), GET only, redirects followed (at most 5, never from https to http), no proxy,
// no compression. A server may be as slow as it likes as long as it keeps sending; one that
// sends nothing for stallLimit fails the fetch, and so does a name look-up or a connect
// that takes longer. One connection is kept open between calls and reused for the same
// scheme, host and port while the server allows it.

#include "webdocs/fetchpolicy.h"
#include "webdocs/hostlookup.h"
#include "webdocs/httpurl.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CookieStore;

// Progress of the final answer's body; begin gets the Content-Length (0 when unknown), work
// the count of body bytes received so far after each piece. waiting is called about every
// 50 ms while the client waits for a name look-up or a connection.
struct HttpProgress {
    std::function<void(std::int64_t expected)> begin;
    std::function<void(std::int64_t received)> work;
    std::function<void()> end;
    std::function<void()> waiting;
};

class HttpClient {
public:
    // The store is not owned; it must outlive the client.
    explicit HttpClient(CookieStore& cookies);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Fetches url, following redirects. The body of the final 2xx answer goes to sink a
    // buffer at a time (the sink throws to stop; so may progress.begin, before any of the
    // body is read); any other answer's body is read and dropped. Throws HttpFetchError on
    // failure (HttpCertificateError for a certificate that does not verify,
    // HttpRefusedError when the policy does not allow a URL of the way or an address its
    // host has).
    void get(const QString& url, const std::function<void(const char*, std::size_t)>& sink,
             const HttpProgress& progress);

    // Closes the kept-alive connection, if any.
    void disconnect();
    bool connected() const;

    // Body bytes handed to the sink at a time: a buffer that stays in the processor's cache
    // between the socket and the file (an 8 MiB one halved the rate of a large download).
    std::size_t writeSize = std::size_t(256) << 10;
    // A piece, the body bytes between two progress events, ends after pieceInterval, at
    // pieceSize bytes or with the body. Each event repaints the download window, so a fast
    // download is reported a few dozen times a second, not once per buffer.
    std::size_t pieceSize = std::size_t(64) << 20;
    std::chrono::milliseconds pieceInterval{20};
    // Where the client may connect; checked before each request, redirects included, on
    // the addresses the host resolves to and on the address of the connection the request
    // goes out on.
    FetchPolicy policy = FetchPolicy::unrestricted();
    // The longest wait for the server while looking up its name, connecting, sending or receiving.
    std::chrono::milliseconds stallLimit{std::chrono::seconds(60)};
    // How a host name becomes addresses (not called for a numeric address).
    HostLookup lookup = systemHostLookup;
    // From the connection on, a server must send at least lowestRateBytes in every
    // lowestRatePeriod of its answer, or the fetch fails.
    std::size_t lowestRateBytes = 1024;
    std::chrono::milliseconds lowestRatePeriod{std::chrono::seconds(30)};
    // Of a body that is dropped (a failure's, a redirect's) no more than this is read; the
    // connection is closed on the rest.
    std::uint64_t maxDroppedBody = std::uint64_t(1) << 20;

    static constexpr int maxRedirects = 5;
    static constexpr int maxInterimAnswers = 10;

    struct Connection;

private:
    // One request and its answer; the Location of a redirect, or empty.
    std::string fetchOnce(const QString& url, const HttpTarget& target, FetchPolicy::Route route,
                          const std::function<void(const char*, std::size_t)>& sink, const HttpProgress& progress);
    void open(Connection& c, const HttpTarget& target, const HttpProgress& progress, FetchPolicy::Route route,
              const QString& url);

    std::unique_ptr<Connection> connection_;
    CookieStore& cookies_;
};
