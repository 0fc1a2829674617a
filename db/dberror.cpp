#include "db/dberror.h"

#include <mysql.h>
#include <errmsg.h>

#include <QRegularExpression>
#include <cerrno>

namespace {
QString socketDetail(const char* what, int code)
{
    return QStringLiteral("Socket error on %1. WSAGetLastError return %2($%3)")
        .arg(QLatin1String(what))
        .arg(code)
        .arg(QString::number(code, 16).toUpper());
}

// The system error in the library's text ("... (111)"), or `fallback`.
int systemErrorIn(const char* text, int fallback)
{
    static const QRegularExpression number(QStringLiteral("\\((\\d+)\\)\\s*$"));
    const auto m = number.match(QString::fromLatin1(text));
    return m.hasMatch() ? m.captured(1).toInt() : fallback;
}
}

namespace dberror {

QString cantConnect(const QString& host, int socketError)
{
    return QStringLiteral("Can't connect to MySQL server on '%1' (10061)\n").arg(host) + socketDetail("connect", socketError);
}

QString cantConnectTimedOut(const QString& host)
{
    return QStringLiteral("Can't connect to MySQL server on '%1' (10061)\nConnection timed out").arg(host);
}

QString lostConnection(bool onWrite, int socketError)
{
    return QStringLiteral("Lost connection to MySQL server during query\n") + socketDetail(onWrite ? "write" : "read", socketError);
}

DatabaseError fromHandle(MYSQL* mysql, const QString& host, bool connecting)
{
    const unsigned code = mysql_errno(mysql);
    const char* text = mysql_error(mysql);
    if (code >= CR_MIN_ERROR && code <= CR_MAX_ERROR) {
        switch (code) {
        case CR_CONNECTION_ERROR:
        case CR_CONN_HOST_ERROR:
        case CR_UNKNOWN_HOST:
        case CR_IPSOCK_ERROR:
            return DatabaseError(cantConnect(host, systemErrorIn(text, ECONNREFUSED)), CR_CONN_HOST_ERROR);
        case CR_SERVER_LOST:
        case CR_SERVER_LOST_EXTENDED:
            if (connecting)
                return DatabaseError(cantConnect(host, systemErrorIn(text, ECONNRESET)), CR_CONN_HOST_ERROR);
            return DatabaseError(lostConnection(false, systemErrorIn(text, ECONNRESET)), CR_SERVER_LOST);
        case CR_SERVER_GONE_ERROR:
            // The connection was already dropped: the write of the next statement fails.
            return DatabaseError(lostConnection(true, EPIPE), CR_SERVER_LOST);
        default:
            return DatabaseError(QString::fromLatin1(text), code);
        }
    }
    return DatabaseError(QStringLiteral("\n#") + QString::fromLatin1(mysql_sqlstate(mysql)) + QString::fromLatin1(text), code);
}
}
