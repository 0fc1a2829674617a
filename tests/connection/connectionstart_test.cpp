// The program's start with the site's connection file: a faulty file stops it with the
// start-up error box and a "FEIL:" line in the log; a file that asks for TLS gets an
// encrypted session, and the log says so. The password shows nowhere.
#include "common/messages.h"
#include "common/startup.h"
#include "common/startuperror.h"
#include "common/textfil.h"
#include "pricelist/connectionvalues.h"
#include "pricelist/prisliste.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/databasecertificates.h"
#include "tests/support/testdatabase.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct ConnectionStart : ::testing::Test {
    Sandbox sandbox;
    QList<MessageRequest> boxes;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        qputenv("PRISLISTE_CONNECTION_FILE", QFile::encodeName(sandbox.connectionFile()));
        Sandbox::writeFile(sandbox.workFolder() + QStringLiteral("/kvarnelo.ini"), "[STANDARD]\r\nLogToFile=1\r\n");
        startup({}, QStringLiteral("/usr/bin/prisliste"));
        setMessageHandler([this](const MessageRequest& r) { boxes << r; return MessageAnswer::Ok; });
    }
    void TearDown() override
    {
        setMessageHandler({});
        shutdown();
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    void writeConnectionFile(const QByteArray& text, mode_t mode = 0640)
    {
        Sandbox::writeFile(sandbox.connectionFile(), text);
        ::chmod(QFile::encodeName(sandbox.connectionFile()).constData(), mode);
    }
    QString log() const { return Log::instance().lines().join(QLatin1Char('\n')); }
};

TEST_F(ConnectionStart, AFaultyFileStopsTheStartWithTheErrorBoxAndALogLine)
{
    writeConnectionFile("[MYSQL]\nUSER=prisliste\nPASSWORD=Blomst24\nTLS=alltid\n");
    EXPECT_EQ(createMainWindow<TPrislisteForm>(), nullptr);
    ASSERT_EQ(boxes.size(), 1);
    const QString problem = QStringLiteral("Tilkoblingsfilen ") + sandbox.connectionFile()
        + QStringLiteral(", linje 4: TLS må være krev, foretrekk eller av");
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Application Error"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Exception EConnectionFileError in module prisliste at [0-9A-F]+\\.\n"))
                    .match(boxes[0].text)
                    .hasMatch())
        << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.endsWith(QLatin1Char('\n') + problem + QStringLiteral(".\n"))) << boxes[0].text.toStdString();
    EXPECT_TRUE(log().contains(QStringLiteral("FEIL: ") + problem)) << log().toStdString();
    EXPECT_EQ(Log::instance().errorCount, 1);
    EXPECT_FALSE(log().contains(QLatin1String("Blomst24")));
}

TEST_F(ConnectionStart, RequiredTlsOnAServerWithoutItShowsTheLibraryText)
{
    writeConnectionFile("[MYSQL]\nTLS=krev\n");
    EXPECT_EQ(createMainWindow<TPrislisteForm>(), nullptr);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.endsWith(QStringLiteral(".\nTLS/SSL error: SSL is required, but the server does not support it.\n")))
        << boxes[0].text.toStdString();
}

TEST_F(ConnectionStart, AFileThatAsksForTlsGetsAnEncryptedSessionNamedInTheLog)
{
    DatabaseCertificates certificates;
    testdb::PrivateServer server("Fil12345", certificates.serverOptions(QStringLiteral("localhost"), QStringLiteral("DNS:localhost")));
    ASSERT_NE(server.port(), 0u);
    qunsetenv("PRISLISTE_DB_HOST");
    qunsetenv("PRISLISTE_DB_PORT");
    writeConnectionFile(QStringLiteral("[MYSQL]\nHOST=localhost\nPORT=%1\nPASSWORD=Fil12345\nTLS=krev\nCA=%2\n")
                            .arg(server.port())
                            .arg(certificates.caFile())
                            .toUtf8());
    const auto form = createMainWindow<TPrislisteForm>();
    ASSERT_NE(form, nullptr) << (boxes.isEmpty() ? std::string() : boxes[0].text.toStdString());
    logConnection(form->MyConnection);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("DATABASE: prisliste@localhost:%1/brisvald, kryptert \\(TLSv1\\.3, [A-Z0-9_]+\\)$")
                                       .arg(server.port()))
                    .match(log())
                    .hasMatch())
        << log().toStdString();
    EXPECT_FALSE(log().contains(QLatin1String("Fil12345")));
}

}
