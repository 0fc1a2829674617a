#pragma once
// The product list's select sent before the program builds its windows, so the server
// sorts and sends while Qt starts. `main` starts one and hands it to the connection that
// will read the list (DbConnection::takeEarlyOpen); that connection's first open takes
// the early connection over when their settings match (or throws the error the early
// connect ended with), and its first query() of the same text reads the answer: the
// program connects and reads once, and any failure is reported where it would have been
// without this.

#include "db/connection.h"

class EarlyOpen {
public:
    EarlyOpen() = default;
    ~EarlyOpen(); // drop()
    EarlyOpen(const EarlyOpen&) = delete;
    EarlyOpen& operator=(const EarlyOpen&) = delete;

    // Connects and sends the statement without reading its answer; never throws.
    void start(const ConnectionSettings& settings, const QByteArray& statement);
    // Moves the early connection into `connection` when their settings match (true), or
    // throws the error the early connect ended with. False when there is nothing for it.
    bool handOver(DbConnection& connection);
    // Closes an early connection nobody took.
    void drop();

private:
    DbConnection connection_;
    bool started_ = false;
    bool failed_ = false;
    DatabaseError error_{QString(), 0};
};
