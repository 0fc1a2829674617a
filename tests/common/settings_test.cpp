#include "common/hs_reg.h"
#include "common/textfil.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/sharedfolder.h"
#include "tests/support/unreadablefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest()
    {
        SettingsStore::instance().reset();
        Log::instance().initialize(QStringLiteral("prisliste"));
        base = sandbox.appData() + QStringLiteral("/Kvarnelo/");
        iniPath = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    }
    ~SettingsTest() override { SettingsStore::instance().reset(); }

    void openSettings()
    {
        SettingsStore& store = SettingsStore::instance();
        store.settingsFilePath = iniPath;
        store.settingsFolder = sandbox.workFolder() + QLatin1Char('/');
        openini(iniPath);
    }
    IniDocument& doc() { return *SettingsStore::instance().document; }

    Sandbox sandbox;
    ScopedPlatform platform;
    QString base;
    QString iniPath;
};

const QStringList stampNames = {"TIME", "NAME", "PROGRAM", "USER", "INIVERSION", "BUILD", "LOGIN"};
}

TEST_F(SettingsTest, OpeningAMissingFileStampsFourteenKeysAndWritesNothing)
{
    openSettings();
    EXPECT_EQ(doc().sectionNames(), QStringList{"INI_SELF"});
    QStringList expected;
    for (const QString& n : stampNames)
        expected << QStringLiteral("CREATED_") + n;
    for (const QString& n : stampNames)
        expected << QStringLiteral("MODIFIED_") + n;
    EXPECT_EQ(doc().keys(QStringLiteral("INI_SELF")), expected);
    EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("STANDARD"));
    setsection(QStringLiteral("INI_SELF"));
    EXPECT_EQ(readinistring(QStringLiteral("CREATED_NAME")), iniPath);
    EXPECT_EQ(readinistring(QStringLiteral("CREATED_USER")), QStringLiteral("kari"));
    EXPECT_EQ(readinistring(QStringLiteral("CREATED_INIVERSION")), QStringLiteral("5.56"));
    EXPECT_EQ(readinistring(QStringLiteral("CREATED_BUILD")), QStringLiteral("746"));
    EXPECT_EQ(readinistring(QStringLiteral("CREATED_LOGIN")),
              QStringLiteral("LOGIN: kari  node: KASSE1.brisvald.local IP:10.0.0.7"));
    EXPECT_EQ(readinistring(QStringLiteral("MODIFIED_PROGRAM")), QCoreApplication::applicationFilePath());
    EXPECT_FALSE(QFileInfo::exists(iniPath));
}

TEST_F(SettingsTest, ReopeningReplacesTheModifiedStampsInPlace)
{
    Sandbox::writeFile(iniPath, "[STANDARD]\r\nLogToFile=1\r\n\r\n[INI_SELF]\r\nCREATED_TIME=old\r\n"
                                "MODIFIED_TIME=old\r\nMODIFIED_USER=ola\r\nOther=x\r\n");
    openSettings();
    EXPECT_EQ(doc().sectionNames(), (QStringList{"STANDARD", "INI_SELF"}));
    QStringList expected = {"CREATED_TIME", "MODIFIED_TIME", "MODIFIED_USER", "Other",
                            "MODIFIED_NAME", "MODIFIED_PROGRAM", "MODIFIED_INIVERSION", "MODIFIED_BUILD",
                            "MODIFIED_LOGIN"};
    EXPECT_EQ(doc().keys(QStringLiteral("INI_SELF")), expected);
    EXPECT_EQ(doc().value(QStringLiteral("INI_SELF"), QStringLiteral("CREATED_TIME")), QStringLiteral("old"));
    EXPECT_EQ(doc().value(QStringLiteral("INI_SELF"), QStringLiteral("MODIFIED_USER")), QStringLiteral("kari"));
    EXPECT_TRUE(readinibool(QStringLiteral("LogToFile")));
}

TEST_F(SettingsTest, TypedReadsFollowTheIntegerRules)
{
    struct Case { const char* text; int integer; bool boolean; };
    const Case cases[] = {
        {"yes", 0, false}, {"2", 2, true}, {"1", 1, true}, {"0", 0, false},
        {"$10", 16, true}, {"0x10", 16, true}, {"0X10", 16, true}, {"-5", -5, true},
        {"", 0, false}, {"1.5", 0, false}, {"12abc", 0, false}, {"$", 0, false},
        {"2147483647", 2147483647, true}, {"2147483648", 0, false}, {"-2147483648", -2147483647 - 1, true},
        {"$FFFFFFFF", -1, true}, {"99999999999999999999", 0, false}, {"١٢", 0, false},
    };
    openSettings();
    for (const Case& c : cases) {
        writeinistring(QStringLiteral("Value"), QString::fromUtf8(c.text));
        EXPECT_EQ(readiniinteger(QStringLiteral("Value")), c.integer) << c.text;
        EXPECT_EQ(readinibool(QStringLiteral("Value")), c.boolean) << c.text;
    }
}

TEST_F(SettingsTest, MissingKeysAndSectionsGiveDefaultsAndAddNothing)
{
    openSettings();
    setsection(QStringLiteral("NOWHERE"));
    EXPECT_EQ(readinistring(QStringLiteral("k")), QString());
    EXPECT_FALSE(readinibool(QStringLiteral("k")));
    EXPECT_EQ(readiniinteger(QStringLiteral("k")), 0);
    EXPECT_EQ(doc().sectionNames(), QStringList{"INI_SELF"});
    resetsection();
    writeinibool(QStringLiteral("On"), true);
    writeinibool(QStringLiteral("Off"), false);
    writeiniinteger(QStringLiteral("N"), -42);
    EXPECT_EQ(doc().value(QStringLiteral("STANDARD"), QStringLiteral("On")), QStringLiteral("1"));
    EXPECT_EQ(doc().value(QStringLiteral("STANDARD"), QStringLiteral("Off")), QStringLiteral("0"));
    EXPECT_EQ(doc().value(QStringLiteral("STANDARD"), QStringLiteral("N")), QStringLiteral("-42"));
}

TEST_F(SettingsTest, SetfolderAddsOneSeparatorAndKeepsTheCurrentSection)
{
    openSettings();
    setsection(QStringLiteral("VINDU-X"));
    setfolder(QStringLiteral("data\\docs"), QStringLiteral("/srv/docs"));
    setfolder(QStringLiteral("export"), QStringLiteral("/srv/export/"));
    setfolder(QStringLiteral("empty"), QString());
    EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("VINDU-X"));
    EXPECT_EQ(doc().value(QStringLiteral("FOLDERS"), QStringLiteral("data\\docs_folder")), QStringLiteral("/srv/docs/"));
    EXPECT_EQ(doc().value(QStringLiteral("FOLDERS"), QStringLiteral("export_folder")), QStringLiteral("/srv/export/"));
    EXPECT_TRUE(doc().hasKey(QStringLiteral("FOLDERS"), QStringLiteral("empty_folder")));
    EXPECT_EQ(doc().value(QStringLiteral("FOLDERS"), QStringLiteral("empty_folder")), QString());
}

TEST_F(SettingsTest, KvarnelopathWithTheEmptyNameIsTheBaseAndWritesNothing)
{
    openSettings();
    EXPECT_EQ(kvarnelopath(QString()), base);
    EXPECT_FALSE(QFileInfo::exists(iniPath));
    EXPECT_FALSE(doc().sectionNames().contains(QStringLiteral("FOLDERS")));
}

TEST_F(SettingsTest, KvarnelopathCreatesMissingFoldersOnlyUnderTheBase)
{
    Log::instance().logging = true;
    openSettings();
    setsection(QStringLiteral("OTHER"));

    EXPECT_EQ(kvarnelopath(QStringLiteral("tmp")), base + QStringLiteral("tmp/"));
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("tmp")).isDir());
    ASSERT_EQ(Log::instance().lines().size(), 1);
    EXPECT_TRUE(Log::instance().lines()[0].endsWith(
        QStringLiteral(" hs_reg.kvarnelopath(tmp): Lager mappen ") + base + QStringLiteral("tmp/")));
    EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("OTHER"));
    // The document reached its file.
    IniDocument onDisk;
    onDisk.load(iniPath);
    EXPECT_EQ(onDisk.value(QStringLiteral("FOLDERS"), QStringLiteral("tmp_folder")), base + QStringLiteral("tmp/"));

    EXPECT_EQ(kvarnelopath(QStringLiteral("bin")), base + QStringLiteral("bin/"));
    EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("bin")));

    const QString outside = sandbox.root() + QStringLiteral("/elsewhere");
    setfolder(QStringLiteral("export"), outside);
    EXPECT_EQ(kvarnelopath(QStringLiteral("export")), outside + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_EQ(Log::instance().lines().size(), 1);
}

TEST_F(SettingsTest, CurrentuserTakesTheOverrideThenTheLoginThenAnonymous)
{
    struct Case { const char* override; const char* login; const char* user; };
    const Case cases[] = {{"per", "kari", "per"}, {"", "kari", "kari"}, {"", "", "anonymous"}};
    for (const Case& c : cases) {
        SettingsStore::instance().reset();
        FakeIdentity id;
        id.loginName = QString::fromUtf8(c.login);
        ScopedPlatform p(id);
        SettingsStore::instance().userOverride = QString::fromUtf8(c.override);
        EXPECT_EQ(currentuser(), QString::fromUtf8(c.user)) << c.override << "/" << c.login;
        SettingsStore::instance().userOverride = QStringLiteral("later");
        EXPECT_EQ(currentuser(), QString::fromUtf8(c.user)) << "fixed from the first call";
    }
}

TEST_F(SettingsTest, IpaddressFollowsOverrideDomainAndTheFirstRealAddress)
{
    struct Case { const char* override; const char* domain; QStringList addresses; const char* ip; };
    const Case cases[] = {
        {"192.168.1.9", "", {}, "192.168.1.9"},
        {"", "", {"10.0.0.7"}, ""},
        {"", "lan", {"", "0.0.0.0", "10.1.1.1", "10.2.2.2"}, "10.1.1.1"},
        {"", "lan", {"0.0.0.0", ""}, "0.0.0.0"},
        {"", "lan", {}, "0.0.0.0"},
    };
    for (const Case& c : cases) {
        SettingsStore::instance().reset();
        FakeIdentity id;
        id.domainName = QString::fromUtf8(c.domain);
        id.interfaceAddresses = c.addresses;
        ScopedPlatform p(id);
        SettingsStore::instance().addressOverride = QString::fromUtf8(c.override);
        EXPECT_EQ(ipaddress(), QString::fromUtf8(c.ip)) << c.override << "/" << c.domain;
    }
    SettingsStore::instance().addressOverride.clear();
    FakeIdentity noDomain;
    noDomain.domainName.clear();
    ScopedPlatform p(noDomain);
    EXPECT_EQ(logintext(), QStringLiteral("LOGIN: kari  node: KASSE1. IP:"));
}

TEST_F(SettingsTest, UserFileNameIsSafeAndStable)
{
    struct Case { const char* user; const char* file; };
    const Case cases[] = {
        {"kari", "kari.INI"},
        {"DOMENE\\kari", "DOMENE_kari.INI"},
        {"../../etc/passwd", "____etc_passwd.INI"},
        {"a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h.INI"},
        {"..", "_.INI"},
        {"con", "con_.INI"},
        {"Ærlig Øyvind", "Ærlig Øyvind.INI"},
    };
    for (const Case& c : cases) {
        SettingsStore::instance().reset();
        SettingsStore::instance().settingsFolder = QStringLiteral("/s/");
        SettingsStore::instance().userOverride = QString::fromUtf8(c.user);
        EXPECT_EQ(userinipath(), QStringLiteral("/s/") + QString::fromUtf8(c.file)) << c.user;
    }
}

TEST_F(SettingsTest, UserFileSwitchWritesBothFilesAndComesBackToTheSettings)
{
    openSettings();
    writeinistring(QStringLiteral("Kept"), QStringLiteral("yes"));
    openuserini();
    const QString userFile = sandbox.workFolder() + QStringLiteral("/kari.INI");
    EXPECT_EQ(SettingsStore::instance().documentPath, userFile);
    EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("STANDARD"));
    setsection(QStringLiteral("VINDU-PrisListeForm"));
    writeiniinteger(QStringLiteral("Left"), 120);
    openmainini();
    EXPECT_EQ(SettingsStore::instance().documentPath, iniPath);
    EXPECT_EQ(readinistring(QStringLiteral("Kept")), QStringLiteral("yes"));
    IniDocument user;
    user.load(userFile);
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisListeForm"), QStringLiteral("Left")), QStringLiteral("120"));
    EXPECT_EQ(user.keys(QStringLiteral("INI_SELF")).size(), 14);
}

TEST_F(SettingsTest, CloseiniWritesTheFileAndLogsTheUpdate)
{
    Log::instance().logging = Log::instance().verbose = true;
    openSettings();
    closeini();
    EXPECT_FALSE(SettingsStore::instance().document.has_value());
    EXPECT_TRUE(QFileInfo::exists(iniPath));
    ASSERT_EQ(Log::instance().lines().size(), 1);
    EXPECT_TRUE(Log::instance().lines()[0].endsWith(QStringLiteral(" Oppdaterer ") + iniPath));
}

TEST_F(SettingsTest, CloseiniLeavesAReadOnlyFileAndWarns)
{
    Log::instance().logging = Log::instance().verbose = true;
    Sandbox::writeFile(iniPath, "[STANDARD]\r\nx=1\r\n");
    QFile::setPermissions(iniPath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    openSettings();
    closeini();
    EXPECT_EQ(Sandbox::readFile(iniPath), QByteArray("[STANDARD]\r\nx=1\r\n"));
    ASSERT_EQ(Log::instance().lines().size(), 1);
    EXPECT_TRUE(Log::instance().lines()[0].endsWith(
        QStringLiteral(" ADVARSEL: ") + iniPath + QStringLiteral(" er skrivebeskyttet og vil ikke bli lagret.")));
    EXPECT_EQ(Log::instance().warningCount, 1);
}

TEST_F(SettingsTest, CloseiniThatCannotWriteLogsTheCrashAndGoesOn)
{
    Log::instance().logging = true;
    iniPath = sandbox.workFolder() + QStringLiteral("/gone/kvarnelo.ini");
    openSettings();
    closeini();
    ASSERT_EQ(Log::instance().lines().size(), 2);
    EXPECT_TRUE(Log::instance().lines()[0].endsWith(QStringLiteral(" FEIL: kan ikke lagre filen ") + iniPath
                                                    + QStringLiteral(": No such file or directory (2)")));
    EXPECT_TRUE(Log::instance().lines()[1].endsWith(QStringLiteral(" INI-CRASH i HS_REG: ") + iniPath));
    EXPECT_FALSE(SettingsStore::instance().document.has_value());
}

TEST_F(SettingsTest, SettingsFileThatCannotBeReadIsNeverOverwritten)
{
    Log::instance().logging = true;
    Sandbox::writeFile(iniPath, "[STANDARD]\r\nLogToFile=1\r\n");
    {
        UnreadableFile unreadable(iniPath, sandbox.workFolder(), sandbox.root());
        openSettings();
        EXPECT_FALSE(readinibool(QStringLiteral("LogToFile")));
        kvarnelopath(QStringLiteral("tmp"));
        closeini();
    }
    QFile::setPermissions(iniPath, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Sandbox::readFile(iniPath), QByteArray("[STANDARD]\r\nLogToFile=1\r\n"));
    ASSERT_FALSE(Log::instance().lines().isEmpty());
    EXPECT_TRUE(Log::instance().lines().back().endsWith(QStringLiteral(" INI-CRASH i HS_REG: ") + iniPath));
}

TEST_F(SettingsTest, UserFileThatIsAPipeOrDeviceIsNeitherWaitedOnNorReplaced)
{
    const QString userFile = sandbox.workFolder() + QStringLiteral("/kari.INI");
    for (bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "/dev/zero");
        QFile::remove(userFile);
        if (pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(userFile).constData(), 0600), 0);
        else
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), userFile));
        openSettings();
        openuserini();
        EXPECT_TRUE(SettingsStore::instance().documentUnreadable);
        writeiniinteger(QStringLiteral("Left"), 120);
        openmainini();
        EXPECT_FALSE(SettingsStore::instance().documentUnreadable);
        EXPECT_EQ(QFileInfo(userFile).isSymLink(), !pipe);
        EXPECT_EQ(QFileInfo(userFile).isFile(), false);
    }
}

TEST_F(SettingsTest, AValueWrittenBackUnchangedKeepsWhatAnotherCopyChangedMeanwhile)
{
    // This copy (the store) rewrites a key as a dialog's close does; another copy then
    // changes the key and ends; this copy's write-back comes last.
    struct Case {
        const char* name;
        const char* held;
        std::function<void()> rewrite;
        const char* theirs; // nothing: no other copy
        const char* kept;
    };
    const QString key = QStringLiteral("DOC_URL");
    const Case cases[] = {
        {"same text", "http://a/", [&] { writeinistring(key, QStringLiteral("http://a/")); }, "http://b/", "http://b/"},
        {"true held as -1", "-1", [&] { writeinibool(key, true); }, "0", "0"},
        {"false held as 00", "00", [&] { writeinibool(key, false); }, "1", "1"},
        {"16 held as $10", "$10", [&] { writeiniinteger(key, 16); }, "7", "7"},
        {"a real change wins", "http://a/", [&] { writeinistring(key, QStringLiteral("http://c/")); }, "http://b/",
         "http://c/"},
        {"a real typed change wins", "1", [&] { writeinibool(key, false); }, "1", "0"},
        {"alone: the written form", "-1", [&] { writeinibool(key, true); }, nullptr, "1"},
        {"a missing key is written", nullptr, [&] { writeinibool(key, false); }, nullptr, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(iniPath, c.held ? QByteArray("[STANDARD]\r\nDOC_URL=") + c.held + "\r\n" : QByteArray());
        SettingsStore::instance().reset();
        openSettings();
        c.rewrite();
        if (c.theirs) {
            IniDocument other;
            ASSERT_TRUE(other.load(iniPath));
            other.setValue(QStringLiteral("STANDARD"), key, QString::fromLatin1(c.theirs));
            ASSERT_TRUE(other.save(iniPath));
        }
        closeini();
        IniDocument reread;
        ASSERT_TRUE(reread.load(iniPath));
        EXPECT_EQ(reread.value(QStringLiteral("STANDARD"), key), QString::fromLatin1(c.kept));
    }
}

TEST_F(SettingsTest, UnreadableUserFileIsWarnedOfOnceAndLeftAlone)
{
    Log::instance().logging = true;
    const QString userFile = sandbox.workFolder() + QStringLiteral("/kari.INI");
    ASSERT_TRUE(QDir().mkpath(userFile)); // a folder where the file belongs
    openSettings();
    for (int i = 0; i < 2; ++i) {
        openuserini();
        openmainini();
    }
    ASSERT_EQ(Log::instance().lines().size(), 1);
    EXPECT_TRUE(Log::instance().lines()[0].endsWith(QStringLiteral(" ADVARSEL: ") + userFile
                                                    + QStringLiteral(" kan ikke leses (Is a directory (21)) og vil ikke bli lagret.")));
    EXPECT_TRUE(QFileInfo(userFile).isDir());
}

TEST_F(SettingsTest, FilesTheUserMayWriteInAFolderTheUserMayNotAreWrittenInPlace)
{
    Log::instance().logging = true;
    const QString shared = sandbox.workFolder() + QStringLiteral("/shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    iniPath = shared + QStringLiteral("/kvarnelo.ini");
    const QString userFile = shared + QStringLiteral("/kari.INI");
    Sandbox::writeFile(iniPath, "[STANDARD]\r\nLogToFile=1\r\n");
    Sandbox::writeFile(userFile, "[VINDU-PrisListeForm]\r\nLeft=1\r\n");
    struct stat before {};
    ::stat(QFile::encodeName(iniPath).constData(), &before);
    {
        SharedFolder folder(shared, {iniPath, userFile}, sandbox.root());
        SettingsStore::instance().settingsFilePath = iniPath;
        SettingsStore::instance().settingsFolder = shared + QLatin1Char('/');
        openini(iniPath);
        writeinistring(QStringLiteral("DOC_URL"), QStringLiteral("http://butikken/"));
        openuserini();
        setsection(QStringLiteral("VINDU-PrisListeForm"));
        writeiniinteger(QStringLiteral("Left"), 120);
        openmainini();
        closeini();
    }
    EXPECT_EQ(Log::instance().lines(), QStringList());
    IniDocument settings, user;
    ASSERT_TRUE(settings.load(iniPath));
    ASSERT_TRUE(user.load(userFile));
    EXPECT_EQ(settings.value(QStringLiteral("STANDARD"), QStringLiteral("DOC_URL")), QStringLiteral("http://butikken/"));
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisListeForm"), QStringLiteral("Left")), QStringLiteral("120"));
    struct stat after {};
    ::stat(QFile::encodeName(iniPath).constData(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino); // the same file, written where it stands
    EXPECT_EQ(QDir(shared).entryList(QDir::Files | QDir::Hidden), (QStringList{"kari.INI", "kvarnelo.ini"}));
}

TEST_F(SettingsTest, AFileNeitherItsFolderNorItselfWritableNamesTheFileAndTheReason)
{
    if (!SharedFolder::asRoot())
        GTEST_SKIP() << "needs root to leave a file the user cannot write";
    Log::instance().logging = true;
    const QString shared = sandbox.workFolder() + QStringLiteral("/shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    iniPath = shared + QStringLiteral("/kvarnelo.ini");
    Sandbox::writeFile(iniPath, "[STANDARD]\r\nLogToFile=1\r\n");
    {
        SharedFolder folder(shared, {}, sandbox.root()); // the file stays root's
        openSettings();
        for (int i = 0; i < 2; ++i) // logged once, however often it is tried
            kvarnelopath(QStringLiteral("tmp"));
        closeini();
    }
    const QStringList expected = {QStringLiteral("FEIL: kan ikke lagre filen ") + iniPath
                                      + QStringLiteral(": Permission denied (13)"),
                                  QStringLiteral("INI-CRASH i HS_REG: ") + iniPath};
    QStringList messages;
    for (const QString& line : Log::instance().lines())
        if (!line.contains(QStringLiteral("Lager mappen")))
            messages << line.section(QLatin1Char(' '), 2);
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(Sandbox::readFile(iniPath), QByteArray("[STANDARD]\r\nLogToFile=1\r\n"));
}
