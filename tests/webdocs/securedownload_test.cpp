#include "tests/webdocs/tlsfixture.h"
#include "webdocs/httpclient.h"

#include <QFile>
#include <sys/stat.h>

using SecureDownloadTest = TlsFixture;

TEST_F(SecureDownloadTest, FetchesOverTlsAndKeepsTheConnectionForTheNextFile)
{
    const QString byName = QStringLiteral("https://localhost:%1").arg(secure.port());
    struct Case {
        QString base;
        QByteArray hostHeader;
        QByteArray serverName; // SNI: a name, never an address
    } cases[] = {
        {secure.url(QString()), "127.0.0.1:" + QByteArray::number(secure.port()), ""},
        {byName, "localhost:" + QByteArray::number(secure.port()), "localhost"},
    };
    int connections = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base.toStdString());
        secure.enqueue(HttpAnswer::withLength(200, "OK", "first picture"));
        secure.enqueue(HttpAnswer::withLength(200, "OK", "second picture"));
        ASSERT_TRUE(downloadtofile(path(QStringLiteral("1.jpg")), c.base + QStringLiteral("/1.jpg")));
        ASSERT_TRUE(downloadtofile(path(QStringLiteral("2.jpg")), c.base + QStringLiteral("/2.jpg")));
        EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("1.jpg"))), "first picture");
        EXPECT_EQ(Sandbox::readFile(path(QStringLiteral("2.jpg"))), "second picture");
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("2.jpg.part"))));
        const QByteArrayList requests = secure.requests();
        ASSERT_GE(requests.size(), 2);
        EXPECT_EQ(requests.last(), "GET /2.jpg HTTP/1.1\r\nHost: " + c.hostHeader
                                       + "\r\nAccept: text/html, */*\r\nAccept-Encoding: identity\r\n"
                                         "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n");
        EXPECT_EQ(secure.requestConnections().mid(requests.size() - 2), (QList<int>{connections, connections}));
        EXPECT_EQ(secure.serverNames().value(connections), c.serverName);
        ++connections;
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(secure.failedHandshakes(), 0);
}

TEST_F(SecureDownloadTest, CertificateThatDoesNotVerifyFailsAndTheLogSaysWhy)
{
    using Server = TestCertificates::Server;
    struct Case {
        const char* name;
        Server server;
        QString host;
        QString reason;
    } cases[] = {
        {"certificate for another host, by address", Server::WrongHost, QStringLiteral("127.0.0.1"),
         QStringLiteral("IP address mismatch")},
        {"certificate for another host, by name", Server::WrongHost, QStringLiteral("localhost"),
         QStringLiteral("hostname mismatch")},
        {"expired", Server::Expired, QStringLiteral("127.0.0.1"), QStringLiteral("certificate has expired")},
        {"self-signed", Server::SelfSigned, QStringLiteral("127.0.0.1"), QStringLiteral("self-signed certificate")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer bad(identity(c.server));
        bad.setHandler([](const QByteArray&) { return HttpAnswer::withLength(200, "OK", "must not arrive"); });
        const QString url = QStringLiteral("https://%1:%2/a.jpg").arg(c.host).arg(bad.port());
        messages.clear();
        const qsizetype linesBefore = newLogLines().size();

        EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), url));
        EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
        EXPECT_TRUE(bad.requests().isEmpty());
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg.part"))));
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg"))));
        EXPECT_FALSE(form.client().connected());
        const QStringList lines = newLogLines().mid(linesBefore);
        ASSERT_EQ(lines.size(), 1) << lines.join(u'\n').toStdString();
        EXPECT_TRUE(lines[0].contains(QStringLiteral("FEIL: "))) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(c.reason)) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(url)) << lines[0].toStdString();
    }
}

TEST_F(SecureDownloadTest, WithoutTheAuthorityTheServerIsNotTrusted)
{
    qunsetenv("PRISLISTE_CA_FILE"); // the system's store alone does not know the test authority
    secure.setHandler([](const QByteArray&) { return HttpAnswer::withLength(200, "OK", "must not arrive"); });
    EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), secure.url(QStringLiteral("/a.jpg"))));
    EXPECT_TRUE(secure.requests().isEmpty());
    ASSERT_FALSE(newLogLines().isEmpty());
    EXPECT_TRUE(newLogLines().last().contains(QStringLiteral("unable to get local issuer certificate")))
        << newLogLines().last().toStdString();
}

TEST_F(SecureDownloadTest, AuthorityFileThatIsNoFileOrNoCertificateIsPassedOver)
{
    const QString fifo = sandbox.root() + QStringLiteral("/fifo.pem");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString garbage = sandbox.root() + QStringLiteral("/garbage.pem");
    Sandbox::writeFile(garbage, "-----BEGIN CERTIFICATE-----\nnot base64 at all\n-----END CERTIFICATE-----\n");
    for (const QString& file : {fifo, garbage, sandbox.root(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(file.toStdString());
        THttpDownloadForm fresh; // a new client reads the variable again
        qputenv("PRISLISTE_CA_FILE", QFile::encodeName(file));
        secure.setHandler([](const QByteArray&) { return HttpAnswer::withLength(200, "OK", "x"); });
        EXPECT_THROW(fresh.client().get(secure.url(QStringLiteral("/a.jpg")), [](const char*, std::size_t) {}, {}),
                     HttpCertificateError);
        EXPECT_TRUE(newLogLines().join(u'\n').contains(QStringLiteral("ADVARSEL: Ingen sertifikater i PRISLISTE_CA_FILE")));
    }
    EXPECT_TRUE(secure.requests().isEmpty());
}

TEST_F(SecureDownloadTest, PlainServerOnAnHttpsAddressFailsWithinTheLimit)
{
    form.client().stallLimit = std::chrono::milliseconds(300);
    const QString url = QStringLiteral("https://127.0.0.1:%1/a.jpg").arg(server.port());
    EXPECT_FALSE(downloadtofile(path(QStringLiteral("a.jpg")), url));
    EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg"))));
}
