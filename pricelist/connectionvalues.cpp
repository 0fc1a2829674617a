#include "pricelist/connectionvalues.h"

namespace {
// PRISLISTE_DB_TIMEOUT: seconds in place of the statement time-out of 60 (the tests
// shorten it).
void applyStatementTimeout(ConnectionSettings& settings)
{
    bool ok = false;
    const unsigned seconds = qEnvironmentVariable("PRISLISTE_DB_TIMEOUT").toUInt(&ok);
    if (ok && seconds > 0)
        settings.statementTimeoutSeconds = seconds;
}
}

ConnectionSettings productDatabaseSettings()
{
    ConnectionSettings s;
    s.database = QStringLiteral("brisvald");
    s.host = QStringLiteral(PRISLISTE_DB_HOST);
    s.port = PRISLISTE_DB_PORT;
    s.user = QStringLiteral(PRISLISTE_DB_USER);
    s.password = QStringLiteral(PRISLISTE_DB_PASSWORD);
    const QString host = qEnvironmentVariable("PRISLISTE_DB_HOST");
    if (!host.isEmpty())
        s.host = host;
    bool ok = false;
    const unsigned port = qEnvironmentVariable("PRISLISTE_DB_PORT").toUInt(&ok);
    if (ok && port > 0 && port < 65536)
        s.port = port;
    applyStatementTimeout(s);
    return s;
}
