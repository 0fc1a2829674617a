#pragma once
// The product list's select sent before the program builds its windows, so the server
// sorts and sends while Qt starts. The connection that sent it (or the error that stopped
// it) is handed to the first DbConnection opened with the same settings, and its select
// is read by the first query() of the same text: the program connects and reads once,
// and any failure is reported where it would have been without this.

#include "db/connection.h"

class EarlyOpen {
public:
    static EarlyOpen& instance();

    // Connects and sends the statement without reading its answer; never throws.
    void start(const ConnectionSettings& settings, const QByteArray& statement);
    // Moves the early connection into `connection` when their settings match (true), or
    // throws the error the early connect ended with. False when there is nothing for it.
    bool handOver(DbConnection& connection);
    // Closes an early connection nobody took.
    void drop();

private:
    EarlyOpen() = default;
    ~EarlyOpen();

    DbConnection connection_;
    bool started_ = false;
    bool failed_ = false;
    DatabaseError error_{QString(), 0};
};
