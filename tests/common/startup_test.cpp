#include "common/foldertree.h"
#include "common/hs_reg.h"
#include "common/startup.h"
#include "common/textfil.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
class StartupTest : public ::testing::Test {
protected:
    StartupTest()
    {
        QDir().mkpath(sandbox.root() + QStringLiteral("/bin"));
        program = sandbox.root() + QStringLiteral("/bin/prisliste");
        base = sandbox.appData() + QStringLiteral("/Kvarnelo/");
        workIni = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
        logPath = base + QStringLiteral("log/prisliste.log");
    }
    ~StartupTest() override { SettingsStore::instance().reset(); }

    void run(const QStringList& arguments = {})
    {
        startup(arguments, program);
        shutdown();
    }
    static QStringList fileLines(const QString& path)
    {
        QStringList lines = QString::fromUtf8(Sandbox::readFile(path)).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
    // The messages of the log file, without their date-time text.
    QStringList logMessages() const
    {
        QStringList messages;
        for (const QString& line : fileLines(logPath))
            messages << line.section(QLatin1Char(' '), 2);
        return messages;
    }
    static IniDocument readIni(const QString& path)
    {
        IniDocument doc;
        doc.load(path);
        return doc;
    }

    Sandbox sandbox;
    ScopedPlatform platform;
    QString program, base, workIni, logPath;
};
}

TEST(CommandLine, SwitchesAreWholeCaseSensitiveAndValuesAreComparedToo)
{
    struct Case { QStringList args; bool debug, install; const char* address; const char* user; };
    const Case cases[] = {
        {{}, false, false, nullptr, nullptr},
        {{"--DEBUG", "-Install", "--debug=1", "x"}, false, false, nullptr, nullptr},
        {{"--debug", "--debug"}, true, false, nullptr, nullptr},
        {{"-install"}, false, true, nullptr, nullptr},
        {{"-ip", "10.0.0.9"}, false, false, "10.0.0.9", nullptr},
        {{"-ip", "1", "-ip", "2"}, false, false, "2", nullptr},
        {{"-ip"}, false, false, "", nullptr},
        {{"--user", "-install"}, false, true, nullptr, "-install"},
        {{"--user", "--user"}, false, false, nullptr, ""},
        {{"-ip", "--user", "per"}, false, false, "--user", "per"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        const std::string name = c.args.join(' ').toStdString();
        EXPECT_EQ(line.debug, c.debug) << name;
        EXPECT_EQ(line.install, c.install) << name;
        EXPECT_EQ(line.hasAddress, c.address != nullptr) << name;
        if (c.address)
            EXPECT_EQ(line.address, QString::fromUtf8(c.address)) << name;
        EXPECT_EQ(line.hasUser, c.user != nullptr) << name;
        if (c.user)
            EXPECT_EQ(line.user, QString::fromUtf8(c.user)) << name;
    }
}

TEST_F(StartupTest, FirstStartBuildsTheTreeRegistersItAndStampsTheSettings)
{
    run();
    const QString etcIni = base + QStringLiteral("etc/kvarnelo.ini");
    ASSERT_TRUE(QFileInfo::exists(etcIni));
    const IniDocument ini = readIni(etcIni);
    QStringList keys = {"etc_folder", "bin_folder", "doc_folder"};
    for (const QString& name : treeFolderNames()) {
        if (name != QLatin1String("etc")) // replaced where start-up first put it
            keys << name + QStringLiteral("_folder");
        const QString folder = base + QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('/');
        EXPECT_TRUE(QFileInfo(folder).isDir()) << name.toStdString();
        EXPECT_EQ(ini.value(QStringLiteral("FOLDERS"), name + QStringLiteral("_folder")), folder);
    }
    EXPECT_EQ(treeFolderNames().size(), 24);
    EXPECT_EQ(ini.keys(QStringLiteral("FOLDERS")), keys);
    EXPECT_EQ(ini.value(QStringLiteral("FOLDERS"), QStringLiteral("bin_folder")), sandbox.root() + QStringLiteral("/bin/"));
    EXPECT_EQ(ini.value(QStringLiteral("FOLDERS"), QStringLiteral("doc_folder")), sandbox.root() + QStringLiteral("/doc/"));
    EXPECT_FALSE(QFileInfo::exists(sandbox.root() + QStringLiteral("/doc")));
    EXPECT_EQ(ini.keys(QStringLiteral("INI_SELF")).size(), 14);
    EXPECT_EQ(ini.value(QStringLiteral("INI_SELF"), QStringLiteral("CREATED_NAME")), etcIni);
    // Logging was off: the log file is there and empty.
    EXPECT_TRUE(QFileInfo::exists(logPath));
    EXPECT_EQ(Sandbox::readFile(logPath), QByteArray());
}

TEST_F(StartupTest, RunWithLoggingEndsWithTheStartLinesAndTheSummary)
{
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\nVerboseLogging=1\r\n");
    run();
    const QStringList messages = logMessages();
    const QStringList expected = {
        QStringLiteral("START: ") + program,
        QStringLiteral("INIFIL: ") + workIni,
        QStringLiteral("BRUKER: kari"),
        QStringLiteral("LOGIN: kari  node: KASSE1.brisvald.local IP:10.0.0.7"),
        QStringLiteral("Oppdaterer ") + workIni,
        QStringLiteral("AVSLUTTER PROGRAM. 0 feilmeldinger og 0 advarsler"),
    };
    EXPECT_EQ(messages, expected);
    const IniDocument ini = readIni(workIni);
    EXPECT_EQ(ini.value(QStringLiteral("STANDARD"), QStringLiteral("LogToFile")), QStringLiteral("1"));
    // The tree was built in the same start, so its etc entry names APPDATA's etc folder.
    EXPECT_EQ(ini.value(QStringLiteral("FOLDERS"), QStringLiteral("etc_folder")), base + QStringLiteral("etc/"));
    EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("etc/kvarnelo.ini")));

    // A second run adds its lines after those of the first.
    run();
    EXPECT_EQ(logMessages().size(), 12);
}

TEST_F(StartupTest, SettingsInTheWorkingFolderAreUsedWhereTheyStand)
{
    QDir().mkpath(base + QStringLiteral("data"));
    Sandbox::writeFile(workIni, "[STANDARD]\r\n");
    run({"--user", "per"});
    EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("etc")));
    const IniDocument ini = readIni(workIni);
    EXPECT_EQ(ini.value(QStringLiteral("FOLDERS"), QStringLiteral("etc_folder")), sandbox.workFolder() + QLatin1Char('/'));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("FOLDERS"), QStringLiteral("bin_folder")));
    EXPECT_EQ(ini.value(QStringLiteral("INI_SELF"), QStringLiteral("MODIFIED_USER")), QStringLiteral("per"));
    EXPECT_EQ(SettingsStore::instance().settingsFolder, sandbox.workFolder() + QLatin1Char('/'));
    EXPECT_EQ(userinipath(), sandbox.workFolder() + QStringLiteral("/per.INI"));
}

TEST_F(StartupTest, LogSwitchesFollowLogToFileAndVerboseLogging)
{
    struct Case { QStringList args; const char* settings; bool logging, verbose; };
    const Case cases[] = {
        {{"--debug"}, "", false, true},
        {{"--debug"}, "LogToFile=1\r\nVerboseLogging=0\r\n", true, true},
        {{}, "LogToFile=0\r\nVerboseLogging=1\r\n", false, false},
        {{}, "LogToFile=1\r\nVerboseLogging=1\r\n", true, true},
        {{}, "LogToFile=1\r\n", true, false},
        {{}, "LogToFile=yes\r\nVerboseLogging=yes\r\n", false, false},
        {{"--DEBUG"}, "LogToFile=1\r\n", true, false},
    };
    QDir().mkpath(base + QStringLiteral("data"));
    for (const Case& c : cases) {
        Sandbox::writeFile(workIni, QByteArray("[STANDARD]\r\n") + c.settings);
        startup(c.args, program);
        const std::string name = c.args.join(' ').toStdString() + " " + c.settings;
        EXPECT_EQ(Log::instance().logging, c.logging) << name;
        EXPECT_EQ(Log::instance().verbose, c.verbose) << name;
        // The start lines are there exactly when logging is on, the login line when verbose.
        EXPECT_EQ(Log::instance().lines().size(), (c.logging ? 3 : 0) + (c.logging && c.verbose ? 1 : 0)) << name;
        shutdown();
        QFile::remove(logPath);
    }
}

TEST_F(StartupTest, DebugWithoutLogToFileLogsNothingAtAll)
{
    QDir().mkpath(base + QStringLiteral("data"));
    run({"--debug"});
    EXPECT_EQ(Sandbox::readFile(logPath), QByteArray());
}

TEST_F(StartupTest, InstallOverAnExistingTreeLogsOneErrorPerFolder)
{
    run();
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\n[FOLDERS]\r\ntmp_folder=/somewhere/else/\r\n");
    QFile::remove(logPath);
    run({"-install"});
    const QStringList messages = logMessages();
    QStringList failures;
    for (const QString& m : messages)
        if (m.startsWith(QStringLiteral("FEIL: [mkdirsafe:183] kan ikke opprette mappen ") + base))
            failures << m;
    EXPECT_EQ(failures.size(), 24);
    EXPECT_EQ(messages.back(), QStringLiteral("AVSLUTTER PROGRAM. 24 feilmeldinger og 0 advarsler"));
    // Every folder key of the tree is written again.
    EXPECT_EQ(readIni(workIni).value(QStringLiteral("FOLDERS"), QStringLiteral("tmp_folder")), base + QStringLiteral("tmp/"));
}

TEST_F(StartupTest, MkdirsafeReportsTheSystemErrorNumber)
{
    Log::instance().initialize(program);
    Log::instance().logging = true;
    const QString fresh = sandbox.root() + QStringLiteral("/new");
    const QString orphan = sandbox.root() + QStringLiteral("/missing/child");
    mkdirsafe(fresh);
    mkdirsafe(fresh);
    mkdirsafe(orphan);
    QStringList messages;
    for (const QString& line : Log::instance().lines())
        messages << line.section(QLatin1Char(' '), 2);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("Oppretter mappen ") + fresh,
                                     QStringLiteral("FEIL: [mkdirsafe:183] kan ikke opprette mappen ") + fresh,
                                     QStringLiteral("FEIL: [mkdirsafe:2] kan ikke opprette mappen ") + orphan}));
    EXPECT_EQ(Log::instance().errorCount, 2);
    EXPECT_FALSE(QFileInfo::exists(orphan));
}

TEST_F(StartupTest, MissingLogFolderIsRegisteredAgainAndCreated)
{
    QDir().mkpath(base + QStringLiteral("data"));
    Sandbox::writeFile(workIni, "[FOLDERS]\r\nlog_folder=/nonexistent/logs/\r\n");
    run();
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("log")).isDir());
    EXPECT_EQ(readIni(workIni).value(QStringLiteral("FOLDERS"), QStringLiteral("log_folder")), base + QStringLiteral("log/"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nonexistent")));
}

TEST_F(StartupTest, ClearLogFileOnStartupDropsTheOldLines)
{
    QDir().mkpath(base + QStringLiteral("log"));
    QDir().mkpath(base + QStringLiteral("data"));
    Sandbox::writeFile(logPath, "old 1\r\nold 2\r\n");
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\nClearLogFileOnStartup=1\r\n");
    run();
    const QStringList lines = fileLines(logPath);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" LOGGFIL TØMT (TextFile.ClearLog).")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(" START: ")));
}

TEST_F(StartupTest, BadSettingsFileStartsWithDefaults)
{
    const QByteArray cases[] = {
        QByteArray("\xFF\xFE\x00garbage\x00\x01[", 13),
        QByteArray("LogToFile=1\r\n[STANDARD\r\nLogToFile=1\r\n"),
        QByteArray("[STANDARD]\r\nLogToFile=on\r\nVerbose\xE6Logging=1\r\n"),
        QByteArray("\x89PNG\r\n\x1A\n\x00\x00" "binary", 16), // split: "\x00b" would be one hex escape
    };
    QDir().mkpath(base + QStringLiteral("data"));
    for (const QByteArray& bytes : cases) {
        Sandbox::writeFile(workIni, bytes);
        startup({}, program);
        EXPECT_FALSE(Log::instance().logging);
        EXPECT_EQ(SettingsStore::instance().settingsFilePath, workIni);
        shutdown();
        EXPECT_EQ(readIni(workIni).keys(QStringLiteral("INI_SELF")).size(), 7);
    }
}

TEST_F(StartupTest, UnsetAppDataFallsBackToTheUsersDataFolder)
{
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qunsetenv("APPDATA");
    qputenv("XDG_DATA_HOME", (sandbox.root() + QStringLiteral("/share")).toLocal8Bit());
    setPlatform(nullptr); // the real Linux platform
    run();
    EXPECT_TRUE(QFileInfo(sandbox.root() + QStringLiteral("/share/Kvarnelo/data/docs")).isDir());
    EXPECT_TRUE(QFileInfo::exists(sandbox.root() + QStringLiteral("/share/Kvarnelo/etc/kvarnelo.ini")));
    EXPECT_TRUE(QFileInfo::exists(sandbox.root() + QStringLiteral("/share/Kvarnelo/log/prisliste.log")));
    qputenv("XDG_DATA_HOME", oldXdg);
}

TEST_F(StartupTest, UnwritableSettingsFileDoesNotLoseTheLog)
{
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\n");
    startup({}, program);
    QFile::remove(workIni);
    QDir().mkpath(workIni); // a folder now stands where the file was
    shutdown();
    const QStringList messages = logMessages();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.back(), QStringLiteral("INI-CRASH i HS_REG: ") + workIni);
}

TEST_F(StartupTest, LogFolderThatCannotBeWrittenDoesNotLoseTheSettings)
{
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\nVerboseLogging=1\r\n");
    startup({}, program);
    writeinistring(QStringLiteral("Kept"), QStringLiteral("1"));
    QDir(base + QStringLiteral("log")).removeRecursively();
    Sandbox::writeFile(base + QStringLiteral("log"), "a file where the folder belongs");
    shutdown();
    EXPECT_EQ(readIni(workIni).value(QStringLiteral("STANDARD"), QStringLiteral("Kept")), QStringLiteral("1"));
}

TEST_F(StartupTest, SpecialFilesAreTakenForFilesThatCannotBeReadAndStayAsTheyAre)
{
    // Each would hang start-up (a pipe) or exhaust memory (an endless device) if read.
    enum Kind { Pipe, EndlessDevice, Folder };
    struct Case { const char* name; Kind kind; bool settings; };
    const Case cases[] = {
        {"settings pipe", Pipe, true}, {"settings /dev/zero", EndlessDevice, true}, {"settings folder", Folder, true},
        {"log pipe", Pipe, false}, {"log /dev/zero", EndlessDevice, false}, {"log folder", Folder, false},
    };
    const QString etcIni = base + QStringLiteral("etc/kvarnelo.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(base).removeRecursively();
        QDir().mkpath(base + QStringLiteral("data"));
        QDir().mkpath(base + QStringLiteral("log"));
        QDir().mkpath(base + QStringLiteral("etc"));
        if (!c.settings)
            Sandbox::writeFile(etcIni, "[STANDARD]\r\nLogToFile=1\r\n");
        const QString special = c.settings ? etcIni : logPath;
        const QByteArray native = QFile::encodeName(special);
        if (c.kind == Pipe)
            ASSERT_EQ(::mkfifo(native.constData(), 0600), 0);
        else if (c.kind == EndlessDevice)
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), special));
        else
            ASSERT_TRUE(QDir().mkpath(special));
        run({QStringLiteral("--debug")});
        struct stat st {};
        ASSERT_EQ(::lstat(native.constData(), &st), 0);
        EXPECT_TRUE(c.kind == Pipe ? S_ISFIFO(st.st_mode) : c.kind == Folder ? S_ISDIR(st.st_mode) : S_ISLNK(st.st_mode));
        EXPECT_EQ(QDir(QFileInfo(special).path()).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks), QStringList())
            << "nothing beside it";
    }
}

TEST_F(StartupTest, LinkedSettingsUserAndLogFilesStayLinksAndTheirTargetsAreWritten)
{
    QDir().mkpath(base + QStringLiteral("data"));
    QDir().mkpath(base + QStringLiteral("etc"));
    QDir().mkpath(base + QStringLiteral("log"));
    const QString real = sandbox.root() + QStringLiteral("/real/");
    Sandbox::writeFile(real + QStringLiteral("kvarnelo.ini"), "[STANDARD]\r\nLogToFile=1\r\n");
    Sandbox::writeFile(real + QStringLiteral("kari.INI"), "[VINDU-X]\r\nLeft=1\r\n");
    Sandbox::writeFile(real + QStringLiteral("prisliste.log"), "old line\r\n");
    const QString etcIni = base + QStringLiteral("etc/kvarnelo.ini");
    const QString userIni = base + QStringLiteral("etc/kari.INI");
    ASSERT_TRUE(QFile::link(real + QStringLiteral("kvarnelo.ini"), etcIni));
    ASSERT_TRUE(QFile::link(QStringLiteral("../../../real/kari.INI"), userIni)); // relative to its folder
    ASSERT_TRUE(QFile::link(real + QStringLiteral("prisliste.log"), logPath));

    startup({}, program);
    writeinistring(QStringLiteral("Kept"), QStringLiteral("yes"));
    openuserini();
    setsection(QStringLiteral("VINDU-X"));
    writeiniinteger(QStringLiteral("Left"), 120);
    openmainini();
    shutdown();

    for (const QString& link : {etcIni, userIni, logPath})
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << link.toStdString();
    EXPECT_EQ(readIni(real + QStringLiteral("kvarnelo.ini")).value(QStringLiteral("STANDARD"), QStringLiteral("Kept")),
              QStringLiteral("yes"));
    EXPECT_EQ(readIni(real + QStringLiteral("kari.INI")).value(QStringLiteral("VINDU-X"), QStringLiteral("Left")),
              QStringLiteral("120"));
    const QStringList logged = fileLines(real + QStringLiteral("prisliste.log"));
    ASSERT_GE(logged.size(), 2);
    EXPECT_EQ(logged.first(), QStringLiteral("old line"));
    EXPECT_TRUE(logged.last().endsWith(QStringLiteral("BRUKER: kari")));
    EXPECT_EQ(QDir(base + QStringLiteral("etc")).entryList(QDir::Files | QDir::NoSymLinks), QStringList());
}

TEST_F(StartupTest, TwoCopiesRunningAtOnceKeepBothRunsLinesAndSettings)
{
    QDir().mkpath(base + QStringLiteral("data"));
    Sandbox::writeFile(workIni, "[STANDARD]\r\nLogToFile=1\r\n");
    QDir().mkpath(base + QStringLiteral("log"));
    Sandbox::writeFile(logPath, "01.02.2026 10:00:00 an earlier run\r\n");
    startup({QStringLiteral("--user"), QStringLiteral("anna")}, program);
    writeinistring(QStringLiteral("FromAnna"), QStringLiteral("1"));
    // A second copy (a double-click too many) starts and ends while the first runs.
    const pid_t second = ::fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        startup({QStringLiteral("--user"), QStringLiteral("bert")}, program);
        writeinistring(QStringLiteral("FromBert"), QStringLiteral("1"));
        shutdown();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(second, &status, 0), second);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    shutdown();

    const IniDocument settings = readIni(workIni);
    EXPECT_EQ(settings.value(QStringLiteral("STANDARD"), QStringLiteral("FromAnna")), QStringLiteral("1"));
    EXPECT_EQ(settings.value(QStringLiteral("STANDARD"), QStringLiteral("FromBert")), QStringLiteral("1"));
    // The first copy wrote its stamps at start-up; the second stamped the file after that.
    EXPECT_EQ(settings.value(QStringLiteral("INI_SELF"), QStringLiteral("MODIFIED_USER")), QStringLiteral("bert"));
    const QStringList messages = logMessages();
    EXPECT_EQ(fileLines(logPath).first(), QStringLiteral("01.02.2026 10:00:00 an earlier run"));
    EXPECT_EQ(messages.count(QStringLiteral("BRUKER: bert")), 1);
    EXPECT_EQ(messages.count(QStringLiteral("BRUKER: anna")), 1);
    EXPECT_LT(messages.indexOf(QStringLiteral("BRUKER: bert")), messages.indexOf(QStringLiteral("BRUKER: anna")));
}

TEST_F(StartupTest, SettingsFileThatCannotBeReadIsNamedAtStartWithTheReason)
{
    // Logging is off (its switch is in the unread file), yet the warning reaches the log.
    struct Case { const char* name; bool pipe; const char* reason; };
    const Case cases[] = {{"folder", false, "Is a directory (21)"}, {"pipe", true, "Invalid argument (22)"}};
    const QString etcIni = base + QStringLiteral("etc/kvarnelo.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(base).removeRecursively();
        QDir().mkpath(base + QStringLiteral("data"));
        QDir().mkpath(base + QStringLiteral("etc"));
        if (c.pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(etcIni).constData(), 0600), 0);
        else
            ASSERT_TRUE(QDir().mkpath(etcIni));
        run();
        EXPECT_EQ(logMessages(), QStringList{QStringLiteral("ADVARSEL: ") + etcIni + QStringLiteral(" kan ikke leses (")
                                             + QLatin1String(c.reason) + QStringLiteral(") og vil ikke bli lagret.")});
        EXPECT_EQ(QFileInfo(etcIni).isDir(), !c.pipe);
    }
}
