#include "tests/support/httptestserver.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <stdexcept>

namespace {

QByteArray headLines(const QByteArrayList& headers)
{
    QByteArray out;
    for (const QByteArray& h : headers)
        out += h + "\r\n";
    return out;
}

// One accepted connection, plain or TLS.
struct Channel {
    int fd;
    SSL* ssl = nullptr;

    ssize_t receive(char* buffer, std::size_t size)
    {
        if (!ssl)
            return ::recv(fd, buffer, size, 0);
        const int n = SSL_read(ssl, buffer, int(std::min<std::size_t>(size, 1 << 30)));
        return n > 0 ? n : -1;
    }

    bool sendAll(const char* data, qsizetype size)
    {
        while (size > 0) {
            const ssize_t n = ssl ? SSL_write(ssl, data, int(std::min<qsizetype>(size, 1 << 30)))
                                  : ::send(fd, data, size_t(size), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            data += n;
            size -= n;
        }
        return true;
    }
};

} // namespace

HttpAnswer HttpAnswer::withLength(int status, const QByteArray& reason, const QByteArray& body,
                                  const QByteArrayList& headers)
{
    return raw("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n" + headLines(headers)
               + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

HttpAnswer HttpAnswer::chunked(const QByteArray& body, int chunkSize, bool lastChunk, const QByteArrayList& headers)
{
    QByteArray bytes = "HTTP/1.1 200 OK\r\n" + headLines(headers) + "Transfer-Encoding: chunked\r\n\r\n";
    for (qsizetype at = 0; at < body.size(); at += chunkSize) {
        const QByteArray chunk = body.mid(at, chunkSize);
        bytes += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    if (lastChunk)
        bytes += "0\r\n\r\n";
    return raw(bytes, !lastChunk);
}

HttpAnswer HttpAnswer::raw(const QByteArray& bytes, bool closeAfter)
{
    HttpAnswer answer;
    answer.pieces.push_back({bytes, 0});
    answer.closeAfter = closeAfter;
    return answer;
}

HttpAnswer& HttpAnswer::slowly(int pieceSize, int delayMs)
{
    QByteArray all;
    for (const Piece& p : pieces)
        all += p.bytes;
    pieces.clear();
    for (qsizetype at = 0; at < all.size(); at += pieceSize)
        pieces.push_back({all.mid(at, pieceSize), delayMs});
    return *this;
}

HttpAnswer& HttpAnswer::stallAfter(qsizetype bytes)
{
    QByteArray all;
    for (const Piece& p : pieces)
        all += p.bytes;
    pieces.clear();
    pieces.push_back({all.left(bytes), 0});
    pieces.push_back({QByteArray(), 0, true});
    return *this;
}

HttpTestServer::HttpTestServer(SSL_CTX* tls, quint16 port) : tls_(tls)
{
    if (tls_)
        ::signal(SIGPIPE, SIG_IGN); // OpenSSL writes without MSG_NOSIGNAL to a client that may have gone
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        throw std::runtime_error("socket");
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port); // 0: a free one
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listenFd_, 64) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (int fd : openFds_)
            ::shutdown(fd, SHUT_RDWR);
    }
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listenFd_);
    for (std::thread& t : threads_)
        t.join();
}

QString HttpTestServer::url(const QString& path) const
{
    const char* scheme = tls_ ? "https" : "http";
    if (port_ == (tls_ ? 443 : 80))
        return QStringLiteral("%1://127.0.0.1%2").arg(QString::fromLatin1(scheme), path);
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(port_).arg(path);
}

QList<QByteArray> HttpTestServer::serverNames() const
{
    std::lock_guard lock(mutex_);
    return serverNames_;
}

int HttpTestServer::failedHandshakes() const
{
    std::lock_guard lock(mutex_);
    return failedHandshakes_;
}

void HttpTestServer::enqueue(const HttpAnswer& answer)
{
    std::lock_guard lock(mutex_);
    queue_.push_back(answer);
}

void HttpTestServer::setHandler(Handler handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

QByteArrayList HttpTestServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

QList<int> HttpTestServer::requestConnections() const
{
    std::lock_guard lock(mutex_);
    return requestConnections_;
}

int HttpTestServer::connectionCount() const
{
    std::lock_guard lock(mutex_);
    return connections_;
}

void HttpTestServer::acceptLoop()
{
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard lock(mutex_);
        if (fd < 0 || stopping_) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        openFds_.push_back(fd);
        const int connection = connections_++;
        threads_.emplace_back([this, fd, connection] { serve(fd, connection); });
    }
}

HttpAnswer HttpTestServer::nextAnswer(const QByteArray& head)
{
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty()) {
            HttpAnswer answer = queue_.front();
            queue_.pop_front();
            return answer;
        }
        handler = handler_;
    }
    if (handler)
        return handler(head);
    return HttpAnswer::withLength(500, "No answer scripted", {});
}

void HttpTestServer::serve(int fd, int connection)
{
    Channel channel{fd};
    bool open = true;
    if (tls_) {
        channel.ssl = SSL_new(tls_);
        SSL_set_fd(channel.ssl, fd);
        const bool accepted = SSL_accept(channel.ssl) == 1;
        ERR_clear_error();
        std::lock_guard lock(mutex_);
        if (accepted) {
            const char* name = SSL_get_servername(channel.ssl, TLSEXT_NAMETYPE_host_name);
            serverNames_ << QByteArray(name ? name : "");
        } else {
            ++failedHandshakes_;
            open = false;
        }
    }
    QByteArray pending;
    char buffer[16384];
    while (open) {
        qsizetype end;
        while ((end = pending.indexOf("\r\n\r\n")) < 0) {
            const ssize_t n = channel.receive(buffer, sizeof buffer);
            if (n <= 0) {
                open = false;
                break;
            }
            pending.append(buffer, n);
        }
        if (!open)
            break;
        const QByteArray head = pending.left(end + 4);
        pending.remove(0, end + 4);
        {
            std::lock_guard lock(mutex_);
            requests_ << head;
            requestConnections_ << connection;
        }
        const HttpAnswer answer = nextAnswer(head);
        for (const HttpAnswer::Piece& piece : answer.pieces) {
            if (piece.delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(piece.delayMs));
            if (piece.stall) {
                while (channel.receive(buffer, sizeof buffer) > 0) {
                }
                open = false;
                break;
            }
            if (!channel.sendAll(piece.bytes.constData(), piece.bytes.size())) {
                open = false;
                break;
            }
        }
        if (answer.closeAfter)
            break;
    }
    if (channel.ssl) {
        SSL_shutdown(channel.ssl); // close_notify, so the end of the answer is not taken for a cut
        SSL_free(channel.ssl);
    }
    std::lock_guard lock(mutex_);
    ::shutdown(fd, SHUT_WR); // the client reads the end of the answer, then end of stream
    ::close(fd);
    openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
}
