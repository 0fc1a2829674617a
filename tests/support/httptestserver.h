#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the download tests: it records every request
// head byte for byte and plays scripted answers, piece by piece, on a thread of its own;
// over TLS when it is given a server context.

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

typedef struct ssl_ctx_st SSL_CTX;

struct HttpAnswer {
    struct Piece {
        QByteArray bytes;
        int delayMs = 0; // waited before the piece is sent
        bool stall = false; // instead of sending: wait, silent, until the client hangs up
    };
    std::vector<Piece> pieces;
    bool closeAfter = false; // the server closes the connection once the answer is sent

    // Status line, the given header lines, Content-Length and the body.
    static HttpAnswer withLength(int status, const QByteArray& reason, const QByteArray& body,
                                 const QByteArrayList& headers = {});
    // The body in chunks of chunkSize bytes, with or without the last (empty) chunk.
    static HttpAnswer chunked(const QByteArray& body, int chunkSize, bool lastChunk = true,
                              const QByteArrayList& headers = {});
    // Bytes exactly as given.
    static HttpAnswer raw(const QByteArray& bytes, bool closeAfter = false);
    // The answer's bytes sent in pieces of pieceSize with delayMs before each.
    HttpAnswer& slowly(int pieceSize, int delayMs);
    // Only the first `bytes` of the answer are sent; then the server says nothing more
    // until the client hangs up (or the server stops).
    HttpAnswer& stallAfter(qsizetype bytes);
};

class HttpTestServer {
public:
    // tls (not owned, must outlive the server): every connection is TLS with that identity.
    // On a free port, or on the given one (std::runtime_error when it cannot be had).
    explicit HttpTestServer(SSL_CTX* tls = nullptr, quint16 port = 0);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    quint16 port() const { return port_; }
    // "http://127.0.0.1:" (or "https://") + port + path; no port when it is the scheme's own
    QString url(const QString& path) const;
    // TLS handshakes that failed (the client refused the certificate, or spoke no TLS).
    int failedHandshakes() const;
    // The name each TLS client asked for (SNI), empty when it sent none.
    QList<QByteArray> serverNames() const;

    // Answers in the order given, one per request, on whatever connection it comes.
    void enqueue(const HttpAnswer& answer);
    // Answers every request that finds the queue empty (called on the server's threads).
    using Handler = std::function<HttpAnswer(const QByteArray& requestHead)>;
    void setHandler(Handler handler);

    // The head of every request received, in order, and the connection (counted from 0)
    // each came on.
    QByteArrayList requests() const;
    QList<int> requestConnections() const;
    int connectionCount() const;

private:
    void acceptLoop();
    void serve(int fd, int connection);
    HttpAnswer nextAnswer(const QByteArray& head);

    SSL_CTX* tls_ = nullptr;
    int failedHandshakes_ = 0;
    QList<QByteArray> serverNames_;
    int listenFd_ = -1;
    quint16 port_ = 0;
    mutable std::mutex mutex_;
    std::deque<HttpAnswer> queue_;
    Handler handler_;
    QByteArrayList requests_;
    QList<int> requestConnections_;
    std::vector<int> openFds_;
    std::vector<std::thread> threads_;
    int connections_ = 0;
    bool stopping_ = false;
    std::thread acceptThread_;
};
