#pragma once
// The download window's HTTP/1.1 client: plain http only, GET only, no redirects, no
// proxy, no compression. A server may be as slow as it likes as long as it keeps
// sending; one that sends nothing for stallLimit fails the fetch. One connection is kept
// open between calls and reused for the same host and port while the server allows it.

#include "webdocs/fetchpolicy.h"
#include "webdocs/httpurl.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class CookieStore;

// Progress of one answer body; begin gets the Content-Length (0 when unknown), work the
// count of body bytes received so far after each piece.
struct HttpProgress {
    std::function<void(std::int64_t expected)> begin;
    std::function<void(std::int64_t received)> work;
    std::function<void()> end;
};

class HttpClient {
public:
    // The store is not owned; it must outlive the client.
    explicit HttpClient(CookieStore& cookies);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Fetches url. The body of a 2xx answer goes to sink a buffer at a time (the sink throws to
    // stop; so may progress.begin, before any of the body is read); any other answer's body
    // is read and dropped. Throws HttpFetchError on failure, HttpRefusedError when the
    // policy does not allow the URL or the address its host has.
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
    // Where the client may connect; checked before each request, on the addresses the host
    // resolves to and on the address of the connection the request goes out on.
    FetchPolicy policy = FetchPolicy::unrestricted();
    // The longest wait for the server while connecting, sending or receiving.
    std::chrono::milliseconds stallLimit{std::chrono::seconds(60)};

    struct Connection;

private:
    std::unique_ptr<Connection> connection_;
    CookieStore& cookies_;
};
