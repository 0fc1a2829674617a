#include "db/connection.h"

#include "common/textfil.h"
#include "db/connectiontls.h"
#include "db/earlyopen.h"

#include <mysql.h>
#include <errmsg.h>

#include <chrono>
#include <limits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

namespace {
// The host name look-up runs on a short-lived thread; the caller waits at most the
// connect time-out and then leaves the thread to finish on its own.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int error = 0;
    QByteArray address;
};

enum class LookupResult { Found, Failed, TimedOut };

LookupResult resolve(const QString& host, int timeoutSeconds, QByteArray& address, int& error)
{
    auto state = std::make_shared<Lookup>();
    const QByteArray name = host.toLatin1();
    std::thread([state, name] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int rc = getaddrinfo(name.constData(), nullptr, &hints, &found);
        QByteArray text;
        if (rc == 0 && found) {
            char buffer[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, buffer, sizeof buffer);
            text = buffer;
        }
        if (found)
            freeaddrinfo(found);
        std::lock_guard lock(state->mutex);
        state->finished = true;
        state->error = rc;
        state->address = text;
        state->done.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    if (!state->done.wait_for(lock, std::chrono::seconds(timeoutSeconds), [&] { return state->finished; }))
        return LookupResult::TimedOut;
    error = state->error;
    address = state->address;
    return state->address.isEmpty() ? LookupResult::Failed : LookupResult::Found;
}

// The library reports a refused non-blocking connect as "in progress" (115): ask the
// system once more for the real socket error.
int connectError(const QByteArray& address, unsigned port, int timeoutSeconds)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return errno;
    timeval tv{timeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, address.constData(), &to.sin_addr);
    const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
    const int error = rc == 0 ? ECONNREFUSED : (errno == EINPROGRESS ? ETIMEDOUT : errno);
    ::close(fd);
    return error;
}

// Whether a failed statement left the session behind: the library closed the socket, or
// the server said it is going away.
bool connectionEnded(MYSQL* m)
{
    switch (mysql_errno(m)) {
    case CR_SERVER_LOST:
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST_EXTENDED:
    case 1053: // ER_SERVER_SHUTDOWN
    case 1927: // ER_CONNECTION_KILLED
        return true;
    default:
        return mysql_get_socket(m) == MARIADB_INVALID_SOCKET;
    }
}
}

DbConnection::DbConnection() = default;

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::takeEarlyOpen(std::unique_ptr<EarlyOpen> early)
{
    early_ = std::move(early);
}

void DbConnection::open()
{
    if (mysql_)
        return;
    // Handed over or not, the early select is this open's only: one that goes unused is closed.
    if (const std::unique_ptr<EarlyOpen> early = std::move(early_); early && early->handOver(*this))
        return;
    QByteArray address;
    int lookupError = 0;
    switch (resolve(settings_.host, settings_.connectTimeoutSeconds, address, lookupError)) {
    case LookupResult::TimedOut:
        throw DatabaseError(dberror::cantConnectTimedOut(settings_.host), CR_CONN_HOST_ERROR);
    case LookupResult::Failed:
        // The resolver's code in place of the socket error (11001 "host not found" on Windows).
        throw DatabaseError(dberror::cantConnect(settings_.host, lookupError < 0 ? -lookupError : lookupError),
                            CR_CONN_HOST_ERROR);
    case LookupResult::Found:
        break;
    }

    MYSQL* m = mysql_init(nullptr);
    if (!m)
        throw DatabaseError(QStringLiteral("MySQL client ran out of memory"), CR_OUT_OF_MEMORY);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    const unsigned connectTimeout = unsigned(settings_.connectTimeoutSeconds);
    const unsigned statementTimeout = settings_.statementTimeoutSeconds;
    const my_bool no = 0;
    mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    // The library keeps time-outs in milliseconds in an int: a longer one cannot be set and
    // means no time-out.
    if (statementTimeout > 0 && statementTimeout <= unsigned(std::numeric_limits<int>::max() / 1000)) {
        mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &statementTimeout);
        mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &statementTimeout);
    }
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    mysql_options(m, MYSQL_OPT_RECONNECT, &no);
    mysql_options(m, MYSQL_OPT_LOCAL_INFILE, &no);
    setTlsOptions(m, settings_);

    const QByteArray user = settings_.user.toLatin1();
    const QByteArray password = settings_.password.toLatin1();
    const QByteArray database = settings_.database.toLatin1();
    if (!mysql_real_connect(m, connectHost(settings_, address).constData(), user.constData(), password.constData(), database.constData(),
                            settings_.port, nullptr, CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS)) {
        const unsigned code = mysql_errno(m);
        if (code == CR_CONNECTION_ERROR || code == CR_CONN_HOST_ERROR) {
            mysql_close(m);
            throw DatabaseError(dberror::cantConnect(settings_.host, connectError(address, settings_.port, settings_.connectTimeoutSeconds)),
                                CR_CONN_HOST_ERROR);
        }
        DatabaseError error = dberror::fromHandle(m, settings_.host, true);
        mysql_close(m);
        throw error;
    }
    const int fd = int(mysql_get_socket(m));
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    mysql_ = m;
}

void DbConnection::close()
{
    if (!mysql_)
        return;
    mysql_close(mysql_); // sends the quit command; a dead socket is only closed
    mysql_ = nullptr;
    pending_.clear();
    lost_ = false;
}

MYSQL* DbConnection::checkedHandle()
{
    reconnectIfLost();
    if (!mysql_)
        throw DatabaseError(dberror::lostConnection(true, EPIPE), CR_SERVER_LOST);
    statementStart_ = std::chrono::steady_clock::now();
    return mysql_;
}

void DbConnection::reconnectIfLost()
{
    if (!lost_)
        return;
    // The old handle is closed only now: a result of the failed statement may have been
    // freed after it failed, and that needs its handle.
    if (mysql_)
        mysql_close(mysql_);
    mysql_ = nullptr;
    pending_.clear();
    open(); // throws while the server cannot be reached; the next statement tries again
    lost_ = false;
    WriteLog(QStringLiteral("Databasen: koblet til %1:%2 på nytt etter at forbindelsen ble brutt")
                 .arg(settings_.host)
                 .arg(settings_.port));
}

void DbConnection::raise(bool connecting)
{
    // The library gives up on a silent server with the system's "timed out" in errno; its
    // own text says only that the connection was lost.
    const int systemError = errno;
    const bool timedOut = !connecting && mysql_errno(mysql_) == CR_SERVER_LOST && systemError == ETIMEDOUT
        && std::chrono::steady_clock::now() - statementStart_ >= std::chrono::seconds(settings_.statementTimeoutSeconds);
    DatabaseError error = timedOut ? DatabaseError(dberror::lostConnection(false, ETIMEDOUT), CR_SERVER_LOST)
                                   : dberror::fromHandle(mysql_, settings_.host, connecting);
    if (connectionEnded(mysql_))
        lost_ = true;
    throw error;
}

void DbConnection::send(const QByteArray& statement)
{
    MYSQL* m = checkedHandle();
    dropPending();
    if (mysql_send_query(m, statement.constData(), static_cast<unsigned long>(statement.size())) != 0)
        raise(false);
    pending_ = statement;
}

void DbConnection::dropPending()
{
    if (pending_.isEmpty())
        return;
    pending_.clear();
    if (mysql_read_query_result(mysql_) == 0)
        if (MYSQL_RES* result = mysql_use_result(mysql_))
            mysql_free_result(result); // reads the rest of the rows
}

quint64 DbConnection::execute(const QByteArray& statement)
{
    MYSQL* m = checkedHandle();
    dropPending();
    if (mysql_real_query(m, statement.constData(), static_cast<unsigned long>(statement.size())) != 0)
        raise(false);
    quint64 affected = mysql_affected_rows(m);
    if (MYSQL_RES* result = mysql_store_result(m))
        mysql_free_result(result);
    else if (mysql_errno(m))
        raise(false);
    // Further results of a multi-statement text are read so the connection stays usable.
    while (mysql_more_results(m)) {
        if (mysql_next_result(m) > 0)
            raise(false);
        if (MYSQL_RES* result = mysql_store_result(m))
            mysql_free_result(result);
    }
    return affected;
}

MYSQL_RES* DbConnection::query(const QByteArray& statement)
{
    MYSQL* m = checkedHandle();
    if (!pending_.isEmpty() && pending_ == statement) {
        pending_.clear();
        if (mysql_read_query_result(m) != 0)
            raise(false);
    } else {
        dropPending();
        if (mysql_real_query(m, statement.constData(), static_cast<unsigned long>(statement.size())) != 0)
            raise(false);
    }
    MYSQL_RES* result = mysql_use_result(m);
    if (!result) {
        if (mysql_errno(m))
            raise(false);
        throw DatabaseError(QStringLiteral("Statement returned no result set"), 0);
    }
    return result;
}

void DbConnection::checkRowError()
{
    if (mysql_ && mysql_errno(mysql_))
        raise(false);
}

quint64 DbConnection::lastInsertId() const
{
    return mysql_ ? mysql_insert_id(mysql_) : 0;
}

unsigned long DbConnection::serverThreadId() const
{
    return mysql_ ? mysql_thread_id(mysql_) : 0;
}

QByteArray DbConnection::quoted(const QByteArray& text)
{
    reconnectIfLost();
    QByteArray out(text.size() * 2 + 3, Qt::Uninitialized);
    out[0] = '\'';
    unsigned long n;
    if (mysql_)
        n = mysql_real_escape_string(mysql_, out.data() + 1, text.constData(), static_cast<unsigned long>(text.size()));
    else
        n = mysql_escape_string(out.data() + 1, text.constData(), static_cast<unsigned long>(text.size()));
    out[qsizetype(n) + 1] = '\'';
    out.truncate(qsizetype(n) + 2);
    return out;
}
