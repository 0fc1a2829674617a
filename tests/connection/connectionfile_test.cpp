// The site's connection file: what a good one gives, and a table of faulty ones, each
// refused with its own text that names the file and never the password.
#include "pricelist/connectionfile.h"
#include "pricelist/connectionvalues.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/unreadablefile.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray good = "; the shop's server\r\n[MYSQL]\r\nHOST = db.butikken.no\r\nPort=3307\r\nuser=kasse\r\n"
                        "PASSWORD=Hemmelig9\r\nTLS=Krev\r\nCA=certs/butikken.pem\r\n\r\n[ANNET]\r\nHOST=ikke.denne\r\n";

void write(const QString& path, const QByteArray& bytes, mode_t mode = 0640)
{
    Sandbox::writeFile(path, bytes);
    ::chmod(QFile::encodeName(path).constData(), mode);
}

TEST(ConnectionFile, GivesTheValuesOfItsMysqlSectionOverTheBuiltInOnes)
{
    Sandbox sandbox;
    write(sandbox.connectionFile(), "\xEF\xBB\xBF" + good);
    write(sandbox.root() + QStringLiteral("/certs/butikken.pem"), "-----BEGIN CERTIFICATE-----\n", 0644);
    ConnectionSettings s;
    s.database = QStringLiteral("brisvald");
    ASSERT_TRUE(readConnectionFile(sandbox.connectionFile(), s));
    EXPECT_EQ(s.host, QStringLiteral("db.butikken.no"));
    EXPECT_EQ(s.port, 3307u);
    EXPECT_EQ(s.user, QStringLiteral("kasse"));
    EXPECT_EQ(s.password, QStringLiteral("Hemmelig9"));
    EXPECT_EQ(s.tls, TlsMode::Require);
    EXPECT_EQ(s.tlsCaFile, sandbox.root() + QStringLiteral("/certs/butikken.pem")); // beside the file
    EXPECT_EQ(s.database, QStringLiteral("brisvald"));

    // Keys left out keep the built-in values; TLS is preferred unless the file says so.
    write(sandbox.connectionFile(), "[mysql]\nHOST=10.0.0.5\n", 0644);
    ConnectionSettings partial;
    partial.user = QStringLiteral("prisliste");
    partial.password = QStringLiteral("Innebygd");
    ASSERT_TRUE(readConnectionFile(sandbox.connectionFile(), partial));
    EXPECT_EQ(partial.host, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(partial.user, QStringLiteral("prisliste"));
    EXPECT_EQ(partial.password, QStringLiteral("Innebygd"));
    EXPECT_EQ(partial.port, 3306u);
    EXPECT_EQ(partial.tls, TlsMode::Prefer);
}

TEST(ConnectionFile, AMissingFileLeavesTheBuiltInValuesAndTheEnvironmentOverridesHostAndPort)
{
    Sandbox sandbox;
    ConnectionSettings s;
    s.host = QStringLiteral("uendret");
    EXPECT_FALSE(readConnectionFile(sandbox.connectionFile(), s));
    EXPECT_EQ(s.host, QStringLiteral("uendret"));

    qunsetenv("PRISLISTE_DB_HOST");
    qunsetenv("PRISLISTE_DB_PORT");
    const ConnectionSettings builtIn = productDatabaseSettings();
    EXPECT_EQ(builtIn.user, QStringLiteral("prisliste"));
    EXPECT_EQ(builtIn.database, QStringLiteral("brisvald"));

    write(sandbox.connectionFile(), "[MYSQL]\nHOST=fra.filen\nPORT=4000\nUSER=filbruker\nPASSWORD=Hemmelig9\nTLS=av\n");
    qputenv("PRISLISTE_DB_HOST", "127.0.0.1");
    qputenv("PRISLISTE_DB_PORT", "5000");
    const ConnectionSettings s2 = productDatabaseSettings();
    qunsetenv("PRISLISTE_DB_HOST");
    qunsetenv("PRISLISTE_DB_PORT");
    EXPECT_EQ(s2.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s2.port, 5000u);
    EXPECT_EQ(s2.user, QStringLiteral("filbruker"));
    EXPECT_EQ(s2.password, QStringLiteral("Hemmelig9"));
    EXPECT_EQ(s2.tls, TlsMode::Off);
}

struct FaultyFile {
    const char* name;
    std::function<void(const Sandbox&)> make;
    const char* expected; // the error's text after the file's path
};

TEST(ConnectionFile, AFaultyFileIsRefusedWithATextThatNamesItAndNotThePassword)
{
    const auto plain = [](QByteArray text, mode_t mode = 0640) {
        return [text, mode](const Sandbox& s) { write(s.connectionFile(), text, mode); };
    };
    const FaultyFile cases[] = {
        {"readable by everyone, with the password", plain(good, 0644), " har et passord og kan leses av alle: gi den modus 0640 (chmod 640)"},
        {"writable by everyone", plain("[MYSQL]\nHOST=x\n", 0666), " kan endres av alle: gi den modus 0640 (chmod 640)"},
        {"a link to a good file",
         [](const Sandbox& s) {
             write(s.root() + QStringLiteral("/elsewhere.ini"), "[MYSQL]\nPASSWORD=Hemmelig9\n", 0600);
             QFile::link(s.root() + QStringLiteral("/elsewhere.ini"), s.connectionFile());
         },
         " er en symbolsk lenke; den må være en vanlig fil"},
        {"a pipe", [](const Sandbox& s) { ::mkfifo(QFile::encodeName(s.connectionFile()).constData(), 0640); }, " er ikke en vanlig fil"},
        {"a folder", [](const Sandbox& s) { QDir().mkpath(s.connectionFile()); }, " er ikke en vanlig fil"},
        {"too large", plain("[MYSQL]\n" + QByteArray(64 * 1024, ';')), " er for stor (mer enn 64 KiB)"},
        {"a broken line", plain("[MYSQL]\nHOST=x\nHemmelig9\n"), ", linje 3: linjen er verken en seksjon, en kommentar eller nøkkel=verdi"},
        {"a broken section line", plain("[MYSQL\nPASSWORD=Hemmelig9\n"), ", linje 1: seksjonsnavnet slutter ikke med «]»"},
        {"an unknown TLS value", plain("[MYSQL]\nPASSWORD=Hemmelig9\nTLS=ja\n"), ", linje 3: TLS må være krev, foretrekk eller av"},
        {"a port out of range", plain("[MYSQL]\nPORT=70000\n"), ", linje 2: PORT må være et tall fra 1 til 65535"},
        {"a port that is no number", plain("[MYSQL]\nPORT=33o6\n"), ", linje 2: PORT må være et tall fra 1 til 65535"},
        {"a key given twice", plain("[MYSQL]\nPASSWORD=Hemmelig9\npassword=Hemmelig9\n"), ", linje 3: PASSWORD står to ganger"},
        {"an unknown key", plain("[MYSQL]\nPASSORD=Hemmelig9\n"), ", linje 2: ukjent nøkkel i [MYSQL] (kjente: HOST, PORT, USER, PASSWORD, TLS, CA)"},
        {"a key before any section", plain("PASSWORD=Hemmelig9\n[MYSQL]\n"), ", linje 1: nøkkelen står før seksjonen [MYSQL]"},
        {"an empty host", plain("[MYSQL]\nHOST=\n"), ", linje 2: HOST er tom"},
        {"text that is not UTF-8", plain("[MYSQL]\nPASSWORD=Hemmelig9\nUSER=k\xE5re\n"), ", linje 3: ugyldige tegn (filen skal være UTF-8)"},
        {"a NUL byte", plain(QByteArray("[MYSQL]\nUSER=a\0b\n", 17)), ", linje 2: ugyldige tegn (filen skal være UTF-8)"},
        {"a CA file that is a pipe",
         [](const Sandbox& s) {
             write(s.connectionFile(), "[MYSQL]\nTLS=krev\nCA=ca.pem\n");
             ::mkfifo(QFile::encodeName(s.root() + QStringLiteral("/ca.pem")).constData(), 0644);
         },
         " viser til CA-filen {root}/ca.pem, som ikke er en vanlig fil på høyst 16 MiB"},
        {"a missing CA file", plain("[MYSQL]\nTLS=krev\nCA=/nowhere/ca.pem\n"),
         " viser til CA-filen /nowhere/ca.pem, som ikke kan leses (No such file or directory)"},
    };
    for (const FaultyFile& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox sandbox;
        c.make(sandbox);
        ConnectionSettings s;
        s.password = QStringLiteral("Innebygd");
        QString message;
        try {
            readConnectionFile(sandbox.connectionFile(), s);
        } catch (const ConnectionFileError& e) {
            message = e.message();
        }
        const QString expected = QStringLiteral("Tilkoblingsfilen ") + sandbox.connectionFile()
            + QString::fromUtf8(c.expected).replace(QStringLiteral("{root}"), sandbox.root());
        EXPECT_EQ(message, expected);
        EXPECT_FALSE(message.contains(QLatin1String("Hemmelig9")));
        EXPECT_EQ(s.password, QStringLiteral("Innebygd")); // nothing of a refused file is taken
    }
}

TEST(ConnectionFile, AFileTheUserMayNotReadNamesTheGroupToJoin)
{
    Sandbox sandbox;
    write(sandbox.connectionFile(), good, 0640);
    UnreadableFile unreadable(sandbox.connectionFile(), sandbox.root(), sandbox.root());
    ConnectionSettings s;
    try {
        readConnectionFile(sandbox.connectionFile(), s);
        ADD_FAILURE() << "read an unreadable file";
    } catch (const ConnectionFileError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Tilkoblingsfilen ") + sandbox.connectionFile()
                                   + QStringLiteral(" kan ikke leses (ingen tilgang): brukeren må være med i gruppen prisliste"));
    }
}

}
