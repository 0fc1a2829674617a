// The connection's TLS: against a server of the test's own that serves a certificate for
// "localhost" from an authority made for the test, and against the shared server, which
// offers no TLS.
#include "db/connection.h"
#include "tests/support/qstringprint.h"
#include "tests/support/databasecertificates.h"
#include "tests/support/testdatabase.h"

#include <gtest/gtest.h>
#include <memory>
#include <mysql.h>

namespace {

struct Tls : ::testing::Test {
    static inline std::unique_ptr<DatabaseCertificates> certificates;
    static inline std::unique_ptr<testdb::PrivateServer> server;
    static void SetUpTestSuite()
    {
        certificates = std::make_unique<DatabaseCertificates>();
        server = std::make_unique<testdb::PrivateServer>("Blomst24", certificates->serverOptions(QStringLiteral("localhost"),
                                                                                                 QStringLiteral("DNS:localhost")));
    }
    static void TearDownTestSuite()
    {
        server.reset();
        certificates.reset();
    }

    static ConnectionSettings settings(const QString& host, TlsMode tls, const QString& ca = QString())
    {
        ConnectionSettings s = server->programSettings();
        s.host = host;
        s.tls = tls;
        s.tlsCaFile = ca;
        return s;
    }
    // The cipher the server says the session uses ("" when plain), or the connect error.
    static QString sessionCipher(const ConnectionSettings& s, DbConnection& connection)
    {
        connection.setSettings(s);
        try {
            connection.open();
        } catch (const DatabaseError& e) {
            return QStringLiteral("error %1: %2").arg(e.code()).arg(e.message());
        }
        MYSQL_RES* result = connection.query("SHOW STATUS LIKE 'Ssl_cipher'");
        MYSQL_ROW row = mysql_fetch_row(result);
        const QString cipher = row ? QString::fromLatin1(row[1]) : QStringLiteral("no row");
        mysql_free_result(result);
        return cipher;
    }
};

TEST_F(Tls, RequiredConnectsOnlyWhenTheCertificateVerifiesForTheHostName)
{
    ASSERT_NE(server->port(), 0u);
    {
        DbConnection c;
        const QString cipher = sessionCipher(settings(QStringLiteral("localhost"), TlsMode::Require, certificates->caFile()), c);
        EXPECT_FALSE(cipher.isEmpty());
        EXPECT_FALSE(cipher.startsWith(QLatin1String("error"))) << cipher.toStdString();
        EXPECT_EQ(c.encryption(), QStringLiteral("kryptert (TLSv1.3, %1)").arg(cipher));
        // Nothing but the caller's statement went over the encrypted session.
        const unsigned long thread = c.serverThreadId();
        c.close();
        DbConnection admin;
        admin.setSettings(server->adminSettings());
        admin.open();
        MYSQL_RES* r = admin.query(QByteArray("SELECT command_type, CONVERT(argument USING latin1) FROM mysql.general_log WHERE thread_id = ")
                                   + QByteArray::number(quint64(thread)) + " ORDER BY event_time");
        QStringList log;
        while (MYSQL_ROW row = mysql_fetch_row(r))
            log << QString::fromLatin1(row[0]) + QLatin1Char(' ') + QString::fromLatin1(row[1]).left(40);
        mysql_free_result(r);
        ASSERT_EQ(log.size(), 3) << log.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(log[0].startsWith(QLatin1String("Connect prisliste@"))) << log[0].toStdString();
        EXPECT_EQ(log[1], QStringLiteral("Query SHOW STATUS LIKE 'Ssl_cipher'"));
        EXPECT_EQ(log[2], QStringLiteral("Quit "));
    }

    const QString another = certificates->strangerCaFile();
    const struct {
        const char* name;
        ConnectionSettings settings;
        const char* expected;
    } refused[] = {
        {"a certificate for another name", settings(QStringLiteral("127.0.0.1"), TlsMode::Require, certificates->caFile()),
         "error 2026: TLS/SSL error: Validation of SSL server certificate failed"},
        {"another authority", settings(QStringLiteral("localhost"), TlsMode::Require, another),
         "error 2026: TLS/SSL error: self-signed certificate in certificate chain"},
        {"the system's store, which lacks the authority", settings(QStringLiteral("localhost"), TlsMode::Require),
         "error 2026: TLS/SSL error: self-signed certificate in certificate chain"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        DbConnection connection;
        EXPECT_EQ(sessionCipher(c.settings, connection), QString::fromLatin1(c.expected));
        EXPECT_FALSE(connection.isOpen());
    }

    // The system's store is where the authority is found when no CA is given (OpenSSL's
    // SSL_CERT_FILE stands in for the system's bundle here).
    qputenv("SSL_CERT_FILE", QFile::encodeName(certificates->caFile()));
    DbConnection viaStore;
    const QString cipher = sessionCipher(settings(QStringLiteral("localhost"), TlsMode::Require), viaStore);
    qunsetenv("SSL_CERT_FILE");
    EXPECT_FALSE(cipher.isEmpty() || cipher.startsWith(QLatin1String("error"))) << cipher.toStdString();
}

TEST_F(Tls, PreferredEncryptsWithoutVerifyingAndOffStaysPlain)
{
    ASSERT_NE(server->port(), 0u);
    DbConnection preferred, off;
    // Another name and no authority: preferred takes the TLS the server offers as it is.
    const QString cipher = sessionCipher(settings(QStringLiteral("127.0.0.1"), TlsMode::Prefer), preferred);
    EXPECT_FALSE(cipher.isEmpty() || cipher.startsWith(QLatin1String("error"))) << cipher.toStdString();
    EXPECT_TRUE(preferred.encryption().startsWith(QLatin1String("kryptert ("))) << preferred.encryption().toStdString();
    EXPECT_EQ(sessionCipher(settings(QStringLiteral("127.0.0.1"), TlsMode::Off), off), QString());
    EXPECT_EQ(off.encryption(), QStringLiteral("ukryptert"));
}

TEST(TlsOnAPlainServer, RequiredFailsAndPreferredConnectsInPlainText)
{
    ConnectionSettings s = testdb::programSettings();
    s.tls = TlsMode::Require;
    DbConnection required;
    required.setSettings(s);
    try {
        required.open();
        ADD_FAILURE() << "connected without TLS";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.code(), 2026u);
        EXPECT_EQ(e.message(), QStringLiteral("TLS/SSL error: SSL is required, but the server does not support it"));
    }
    s.tls = TlsMode::Prefer;
    DbConnection preferred;
    preferred.setSettings(s);
    preferred.open();
    EXPECT_EQ(preferred.encryption(), QStringLiteral("ukryptert"));
    EXPECT_EQ(preferred.execute("DO 1"), 0u);
}

}
