#include "pricelist/connectionvalues.h"

#include "common/textfil.h"
#include "pricelist/connectionfile.h"

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
    const QString path = connectionFilePath();
    // A package holds no password: without the file it has nothing to log in with.
    if (!readConnectionFile(path, s) && s.password.isEmpty())
        throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1 finnes ikke").arg(path));
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

ConnectionSettings loggedDatabaseSettings()
{
    try {
        return productDatabaseSettings();
    } catch (const ConnectionFileError& error) {
        WriteLog(QStringLiteral("FEIL: ") + error.message());
        throw;
    }
}

void logConnection(const DbConnection& connection)
{
    const ConnectionSettings& s = connection.settings();
    WriteLog(QStringLiteral("DATABASE: %1@%2:%3/%4, %5").arg(s.user, s.host).arg(s.port).arg(s.database, connection.encryption()));
}
