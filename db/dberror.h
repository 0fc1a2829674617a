#pragma once
// Errors of the database connection, with the program's own texts.

#include "common/errors.h"

typedef struct st_mysql MYSQL;

class DatabaseError : public Error {
public:
    DatabaseError(QString message, unsigned code)
        : Error(std::move(message), QStringLiteral("EMySQLError")), code_(code) {}
    unsigned code() const { return code_; }

private:
    unsigned code_;
};

// The texts of the connection's errors, composed from the codes:
// 2003 "Can't connect to MySQL server on '<host>' (10061)" + line break + network detail;
// 2013 "Lost connection to MySQL server during query" + line break + network detail;
// server errors: line break, "#", the SQL state and the server's text.
namespace dberror {
QString cantConnect(const QString& host, int socketError);
QString cantConnectTimedOut(const QString& host);
QString lostConnection(bool onWrite, int socketError);
// The error now standing on the handle; `host` names the server for connect errors.
DatabaseError fromHandle(MYSQL* mysql, const QString& host, bool connecting);
}
