#include "db/connectiontls.h"

#include <QFile>
#include <mysql.h>

void setTlsOptions(MYSQL* mysql, const ConnectionSettings& settings)
{
    if (settings.tls == TlsMode::Off)
        return;
    // Connector/C 3.3: "enforce" asks for TLS when the server offers it; only the
    // verification turns a server without TLS into a failure.
    const my_bool yes = 1;
    mysql_options(mysql, MYSQL_OPT_SSL_ENFORCE, &yes);
    if (settings.tls != TlsMode::Require)
        return;
    mysql_options(mysql, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &yes);
    if (!settings.tlsCaFile.isEmpty())
        mysql_options(mysql, MYSQL_OPT_SSL_CA, QFile::encodeName(settings.tlsCaFile).constData());
}

QByteArray connectHost(const ConnectionSettings& settings, const QByteArray& address)
{
    return settings.tls == TlsMode::Require ? settings.host.toLatin1() : address;
}

QString DbConnection::encryption() const
{
    if (!mysql_)
        return QString();
    const char* cipher = mysql_get_ssl_cipher(mysql_);
    if (!cipher)
        return QStringLiteral("ukryptert");
    const char* version = nullptr;
    mariadb_get_infov(mysql_, MARIADB_CONNECTION_TLS_VERSION, &version);
    return QStringLiteral("kryptert (%1, %2)").arg(QLatin1String(version ? version : "TLS"), QLatin1String(cipher));
}
