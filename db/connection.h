#pragma once
// The connection to the MySQL server: TCP only, latin1 (Windows-1252) in the handshake
// and no "SET NAMES", found-rows and multi-statement flags, the database in the
// handshake, autocommit untouched. Nothing is sent after the login until the caller's
// first statement; closing sends the protocol's quit command. Every failure throws
// DatabaseError with the program's own texts (db/dberror.h).
//
// A statement that loses the connection (the server went away, or stayed silent past the
// statement time-out) fails and is never sent again: it may have run. The next statement
// first connects anew, as open() did, and logs one line when that succeeds.

#include "db/dberror.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>

typedef struct st_mysql MYSQL;
typedef struct st_mysql_res MYSQL_RES;

class EarlyOpen;

// How the connection is encrypted: Require verifies the server's certificate (against
// tlsCaFile, or the system's store when empty) and its host name, and fails without TLS;
// Prefer uses TLS when the server offers it, unverified; Off never asks for it.
enum class TlsMode { Off, Prefer, Require };

struct ConnectionSettings {
    QString host;
    QString user;
    QString password;
    QString database;
    unsigned port = 3306;
    int connectTimeoutSeconds = 15;          // host look-up, and each read/write of the handshake
    // Read and write time-outs afterwards: the longest a statement waits for the server to
    // take or send the next packet. Beyond what the library holds (about 24 days) there is none.
    unsigned statementTimeoutSeconds = 60;
    TlsMode tls = TlsMode::Prefer;
    QString tlsCaFile;

    bool operator==(const ConnectionSettings&) const = default;
};

class DbConnection {
public:
    DbConnection();
    ~DbConnection();   // close(); an early select not taken over is closed too
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    void setSettings(const ConnectionSettings& settings) { settings_ = settings; }
    const ConnectionSettings& settings() const { return settings_; }
    // The select `main` sent before the windows (db/earlyopen.h): the next open() takes it
    // over when the settings match, or closes it and connects itself. Only that open.
    void takeEarlyOpen(std::unique_ptr<EarlyOpen> early);

    void open();       // does nothing when open
    void close();      // quit command, socket closed; safe on a lost connection
    bool isOpen() const { return mysql_ != nullptr; }
    // A statement lost the connection; the next one connects anew first.
    bool isLost() const { return lost_; }

    // Sends one statement (Windows-1252 text) and waits for its reply; returns the
    // affected-row count. A result set, if any, is read and dropped.
    quint64 execute(const QByteArray& statement);
    // Sends a statement whose rows the caller streams: mysql_fetch_row on the returned
    // result (free it with mysql_free_result); check rowError() after the last row.
    // A statement already sent with send() is not sent again: its answer is read.
    MYSQL_RES* query(const QByteArray& statement);
    // Sends a statement and leaves its answer unread for query() of the same text; any
    // other statement first reads and drops it.
    void send(const QByteArray& statement);
    // Throws when the row stream of query() ended with an error.
    void checkRowError();
    quint64 lastInsertId() const;
    unsigned long serverThreadId() const;

    // Quotes a Windows-1252 text as a string literal the server reads back unchanged,
    // whatever its SQL mode (the library follows NO_BACKSLASH_ESCAPES). A lost connection is
    // made anew first, so the literal suits the session that will read it.
    QByteArray quoted(const QByteArray& text);

    MYSQL* handle() const { return mysql_; }
    // "kryptert (<protocol>, <cipher>)" or "ukryptert"; empty when closed.
    QString encryption() const;

private:
    friend class EarlyOpen;
    [[noreturn]] void raise(bool connecting);
    MYSQL* checkedHandle();
    void reconnectIfLost();
    void dropPending();

    ConnectionSettings settings_;
    MYSQL* mysql_ = nullptr;
    QByteArray pending_; // sent, answer not read
    bool lost_ = false;  // the library ended the connection; mysql_ is kept until a reconnect
    std::chrono::steady_clock::time_point statementStart_;
    std::unique_ptr<EarlyOpen> early_;
};
