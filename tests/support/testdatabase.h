#pragma once
// The private MariaDB server of the test run (scripts/mariadb-private, started by the
// CTest fixture "mariadb"): its port, the program's and the admin's connection values,
// and the statements a session sent, read from the server's general log.

#include "db/connection.h"

#include <QStringList>
#include <QTemporaryDir>

namespace testdb {

unsigned port();                      // fails the test when the server is not running
ConnectionSettings programSettings(); // the program's user on database brisvald
ConnectionSettings adminSettings();   // all privileges, database brisvald
// Points the program at the test server (PRISLISTE_DB_HOST / PRISLISTE_DB_PORT).
void pointProgramAtServer();

// One admin connection for the test's own statements.
class Admin {
public:
    Admin();
    void exec(const QString& statement);
    QStringList column(const QString& statement); // first column of every row
    // What the server received from the session with this thread id, in order:
    // "Query <text>", "Quit", "Connect ..." etc.
    QStringList sessionLog(unsigned long threadId);
    DbConnection& connection() { return connection_; }

private:
    DbConnection connection_;
};

// A server of the test's own (a fresh data folder, ~5 s to start), for what the shared
// one must not suffer: being stopped, another password for the program's user, TLS.
// serverOptions go to mariadbd as they are ("--ssl-cert=...").
class PrivateServer {
public:
    explicit PrivateServer(const QByteArray& programPassword = "Blomst24", const QStringList& serverOptions = {});
    ~PrivateServer();
    unsigned port() const { return port_; }
    ConnectionSettings programSettings() const;
    ConnectionSettings adminSettings() const;
    void stop();
    // Starts the stopped server again on the same port, with the data it had.
    void restart();
    // SIGSTOP and SIGCONT: a server that stops answering, with its connections left open.
    void freeze();
    void thaw();

private:
    QString folder_;
    unsigned port_ = 0;
};

// A table name of its own for each test (tests of a run share the server).
QString uniqueTableName(const QString& stem);

}
