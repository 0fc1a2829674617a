#include "common/messages.h"
#include "common/regional.h"
#include "common/textfil.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/sharedfolder.h"
#include "tests/support/unreadablefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QRegularExpression>
#include <csignal>
#include <optional>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
// Files of this process cannot grow past a few bytes while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// What this process has read from files so far, by the kernel's count (rchar).
qint64 bytesReadByThisProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = io.readAll();
    const qsizetype at = text.indexOf("rchar: ");
    return at < 0 ? -1 : text.mid(at + 7, text.indexOf('\n', at) - at - 7).toLongLong();
}

class LogTest : public ::testing::Test {
protected:
    LogTest()
    {
        Log::instance().initialize(QStringLiteral("/opt/kvarnelo/prisliste"));
        logFolder = sandbox.appData() + QStringLiteral("/Kvarnelo/log");
    }
    ~LogTest() override { setMessageHandler({}); }

    QString logPath() const { return logFolder + QStringLiteral("/prisliste.log"); }
    void makeLogFolder() const { QDir().mkpath(logFolder); }

    Sandbox sandbox;
    QString logFolder;
};
}

TEST_F(LogTest, PathIsAppDataKvarneloLogAndTheProgramNameWithLogExtension)
{
    EXPECT_EQ(Log::instance().path(), logPath());
    Log::instance().initialize(QStringLiteral("C:/Program Files/Kvarnelo/prisliste.v2.exe"));
    EXPECT_EQ(Log::instance().path(), logFolder + QStringLiteral("/prisliste.v2.log"));
}

TEST_F(LogTest, LineIsDateTimeBlankAndTheMessageAsGiven)
{
    Log::instance().logging = true;
    WriteLog(QStringLiteral("  Sletter   mappen "));
    ASSERT_EQ(Log::instance().lines().size(), 1);
    const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d   Sletter   mappen $"));
    EXPECT_TRUE(form.match(Log::instance().lines()[0]).hasMatch()) << Log::instance().lines()[0].toStdString();
}

TEST_F(LogTest, CountsByTheExactTagAtTheStartOfTheMessage)
{
    struct Case { const char* message; bool logging; int errors, warnings, hints, lines; };
    const Case cases[] = {
        {"FEIL: kan ikke slette filen x", false, 0, 0, 0, 0},
        {"FEIL: kan ikke slette filen x", true, 1, 0, 0, 1},
        {"ERROR: disk", true, 1, 0, 0, 1},
        {" FEIL: with a blank in front", true, 0, 0, 0, 1},
        {"feil: lower case", true, 0, 0, 0, 1},
        {"FEIL without colon", true, 0, 0, 0, 1},
        {"ADVARSEL: skrivebeskyttet", true, 0, 1, 0, 1},
        {"WARNING: x", true, 0, 1, 0, 1},
        {"HINT:no blank after the tag", true, 0, 0, 1, 1},
        {"Oppdaterer kvarnelo.ini", true, 0, 0, 0, 1},
        {"", true, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        log.logging = c.logging;
        WriteLog(QString::fromUtf8(c.message));
        EXPECT_EQ(log.errorCount, c.errors) << c.message;
        EXPECT_EQ(log.warningCount, c.warnings) << c.message;
        EXPECT_EQ(log.hintCount, c.hints) << c.message;
        EXPECT_EQ(log.lines().size(), c.lines) << c.message;
    }
}

TEST_F(LogTest, ClearLogLeavesOneMarkerLineInListAndFileEvenWithLoggingOff)
{
    makeLogFolder();
    Sandbox::writeFile(logPath(), "old line 1\r\nold line 2\r\n");
    Log& log = Log::instance();
    log.logging = true;
    WriteLog(QStringLiteral("FEIL: one"));
    WriteLog(QStringLiteral("ADVARSEL: two"));
    WriteLog(QStringLiteral("HINT: three"));
    log.logging = false;
    ClearLog();
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].endsWith(QStringLiteral(" LOGGFIL TØMT (TextFile.ClearLog).")));
    EXPECT_EQ(QString::fromUtf8(Sandbox::readFile(logPath())), log.lines()[0] + QStringLiteral("\r\n"));
    EXPECT_EQ(log.errorCount, 0);
    EXPECT_EQ(log.warningCount, 1);
    EXPECT_EQ(log.hintCount, 1);
}

TEST_F(LogTest, ClearLogThatCannotCreateTheFileShowsTheErrorBoxAndKeepsTheMarker)
{
    QList<MessageRequest> shown;
    setMessageHandler([&](const MessageRequest& r) { shown << r; return MessageAnswer::Ok; });
    ClearLog(); // the log folder does not exist
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].caption, QStringLiteral("FEIL"));
    EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(shown[0].text, QStringLiteral("Feil under oppretting av ny fil: ") + logPath() + QStringLiteral("  (2)"));
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    EXPECT_EQ(Log::instance().lines().size(), 1);
}

TEST_F(LogTest, LinesOfAnEarlierRunSurviveAndNewOnesFollow)
{
    makeLogFolder();
    Sandbox::writeFile(logPath(), "01.02.2026 10:00:00 START: a\r\n01.02.2026 10:00:01 BRUKER: b\r\n");
    Log& log = Log::instance();
    log.logging = true;
    WriteLog(QStringLiteral("dropped by LoadLog"));
    LoadLog();
    WriteLog(QStringLiteral("first"));
    WriteLog(QStringLiteral("second"));
    ASSERT_TRUE(log.finalize());
    const QStringList lines = QString::fromUtf8(Sandbox::readFile(logPath())).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("01.02.2026 10:00:00 START: a"));
    EXPECT_EQ(lines[1], QStringLiteral("01.02.2026 10:00:01 BRUKER: b"));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" first")));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(" second")));
    EXPECT_EQ(lines[4], QString());
}

TEST_F(LogTest, LoggingOffAndNoFileEndsWithAnEmptyFile)
{
    makeLogFolder();
    WriteLog(QStringLiteral("not kept"));
    LoadLog();
    ASSERT_TRUE(Log::instance().finalize());
    EXPECT_TRUE(QFileInfo::exists(logPath()));
    EXPECT_EQ(Sandbox::readFile(logPath()), QByteArray());
}

TEST_F(LogTest, ByteOrderMarkAndEncodingOfTheFileAreKept)
{
    struct Case { const char* name; QByteArray mark; QStringConverter::Encoding encoding; };
    const Case cases[] = {
        {"UTF-8", QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
        {"UTF-16LE", QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
        {"UTF-16BE", QByteArray("\xFE\xFF"), QStringConverter::Utf16BE},
    };
    makeLogFolder();
    for (const Case& c : cases) {
        QStringEncoder encode(c.encoding);
        Sandbox::writeFile(logPath(), c.mark + QByteArray(encode(QStringLiteral("gammel linje Søm\r\n"))));
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        log.logging = true;
        LoadLog();
        WriteLog(QStringLiteral("ny linje Ø"));
        ASSERT_TRUE(log.finalize());
        const QByteArray bytes = Sandbox::readFile(logPath());
        ASSERT_TRUE(bytes.startsWith(c.mark)) << c.name;
        QStringDecoder decode(c.encoding);
        const QString text = decode(bytes.mid(c.mark.size()));
        EXPECT_TRUE(text.startsWith(QStringLiteral("gammel linje Søm\r\n"))) << c.name;
        EXPECT_TRUE(text.endsWith(QStringLiteral(" ny linje Ø\r\n"))) << c.name;
    }
}

TEST_F(LogTest, FileThatIsNotValidTextIsWrittenBackByteForByte)
{
    makeLogFolder();
    const QByteArray old("gammel linje S\xF8m\r\n"); // Latin-1, not UTF-8
    Sandbox::writeFile(logPath(), old);
    LoadLog();
    ASSERT_TRUE(Log::instance().finalize());
    EXPECT_EQ(Sandbox::readFile(logPath()), old);
}

TEST_F(LogTest, FinalizeMakesAMissingLogFolderAgain)
{
    Log::instance().logging = true;
    WriteLog(QStringLiteral("line"));
    EXPECT_TRUE(Log::instance().finalize());
    EXPECT_TRUE(QString::fromUtf8(Sandbox::readFile(logPath())).endsWith(QStringLiteral(" line\r\n")));
}

TEST_F(LogTest, FinalizeThatCannotWriteFailsQuietly)
{
    Sandbox::writeFile(sandbox.appData() + QStringLiteral("/Kvarnelo"), "a file where the folder belongs");
    Log::instance().logging = true;
    WriteLog(QStringLiteral("line"));
    EXPECT_FALSE(Log::instance().finalize());
    EXPECT_TRUE(Log::instance().lines().isEmpty());
}

TEST_F(LogTest, FailedWriteLeavesTheOldFileAsItWas)
{
    makeLogFolder();
    Sandbox::writeFile(logPath(), "old\r\n");
    Log::instance().logging = true;
    WriteLog(QStringLiteral("new"));
    {
        // The disk fills up after a few bytes of the new line.
        FileSizeLimit limit(10);
        EXPECT_FALSE(Log::instance().finalize());
    }
    EXPECT_EQ(Sandbox::readFile(logPath()), QByteArray("old\r\n"));
}

TEST_F(LogTest, FailedCreationLeavesNoFile)
{
    makeLogFolder();
    // Block the temporary file beside the new log with a folder of the same name.
    QDir().mkpath(logPath() + QStringLiteral(".tmp~") + QString::number(QCoreApplication::applicationPid()));
    Log::instance().logging = true;
    WriteLog(QStringLiteral("new"));
    EXPECT_FALSE(Log::instance().finalize());
    EXPECT_FALSE(QFileInfo::exists(logPath()));
}

TEST_F(LogTest, FileThatCannotBeReadIsNeverOverwritten)
{
    makeLogFolder();
    Sandbox::writeFile(logPath(), "lines of earlier runs\r\n");
    {
        UnreadableFile unreadable(logPath(), logFolder, sandbox.root());
        Log::instance().logging = true;
        LoadLog();
        WriteLog(QStringLiteral("new"));
        EXPECT_FALSE(Log::instance().finalize());
    }
    QFile::setPermissions(logPath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Sandbox::readFile(logPath()), QByteArray("lines of earlier runs\r\n"));
}

TEST_F(LogTest, LineBreaksInAMessageBecomeBlanksSoNoLineIsForged)
{
    struct Case { const char* message; const char* kept; };
    const Case cases[] = {
        {"BRUKER: x\nFEIL: injected", "BRUKER: x FEIL: injected"},
        {"BRUKER: x\r\nFEIL: injected", "BRUKER: x FEIL: injected"},
        {"BRUKER: x\rADVARSEL: injected\n", "BRUKER: x ADVARSEL: injected "},
        {"\nFEIL: at the start", " FEIL: at the start"},
    };
    makeLogFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        QFile::remove(logPath());
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        log.logging = true;
        WriteLog(QString::fromUtf8(c.message));
        EXPECT_EQ(log.errorCount + log.warningCount, 0);
        ASSERT_TRUE(log.finalize());
        const QStringList lines = QString::fromUtf8(Sandbox::readFile(logPath())).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 2); // one line and the empty text after its line break
        EXPECT_EQ(lines[0].section(QLatin1Char(' '), 2), QString::fromUtf8(c.kept));
    }
}

TEST_F(LogTest, OldLinesAreNeverReadSoAHugeLogCostsNothingAtStartOrEnd)
{
    // A sparse 4 GiB log: reading it whole, as the run once did, cannot even be tried.
    makeLogFolder();
    Sandbox::writeFile(logPath(), "first line of an old run\n");
    const qint64 huge = qint64(4) << 30;
    ASSERT_TRUE(QFile::resize(logPath(), huge));
    Log& log = Log::instance();
    log.logging = true;
    LoadLog();
    WriteLog(QStringLiteral("START: /opt/kvarnelo/prisliste"));
    ASSERT_TRUE(log.finalize());
    QFile file(logPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(25), QByteArray("first line of an old run\n"));
    const QByteArray added = "\r\n" + QByteArray(nowText().size() + 1, 'x') + "START: /opt/kvarnelo/prisliste\r\n";
    ASSERT_EQ(file.size(), huge + added.size());
    file.seek(huge);
    const QByteArray tail = file.readAll();
    EXPECT_TRUE(tail.startsWith("\r\n")) << "the old last line gets its line break first";
    EXPECT_TRUE(tail.endsWith(" START: /opt/kvarnelo/prisliste\r\n"));
}

TEST_F(LogTest, OldBytesStayAsTheyAreAndNewLinesFollowTheFilesEncoding)
{
    struct Case { const char* name; QByteArray old; const char* message; QByteArray breakFirst, added; };
    const Case cases[] = {
        {"LF endings kept", "a\nb\n", "ny", "", " ny\r\n"},
        {"last line without break", "a\r\nb", "ny", "\r\n", " ny\r\n"},
        {"Latin-1 file: new line in Latin-1", "S\xF8m\r\n", "Søm", "", " S\xF8m\r\n"},
        {"UTF-8 file: new line in UTF-8", "S\xC3\xB8m\r\n", "Søm", "", " S\xC3\xB8m\r\n"},
        {"UTF-16LE, last line without break", QByteArray("\xFF\xFE" "a\0", 4), "b", QByteArray("\r\0\n\0", 4),
         QByteArray(" \0b\0\r\0\n\0", 8)},
    };
    makeLogFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox::writeFile(logPath(), c.old);
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        log.logging = true;
        LoadLog();
        WriteLog(QString::fromUtf8(c.message));
        ASSERT_TRUE(log.finalize());
        const QByteArray bytes = Sandbox::readFile(logPath());
        ASSERT_TRUE(bytes.startsWith(c.old));
        const QByteArray rest = bytes.mid(c.old.size());
        EXPECT_TRUE(rest.startsWith(c.breakFirst));
        EXPECT_TRUE(rest.endsWith(c.added));
        const int unit = c.old.startsWith("\xFF\xFE") ? 2 : 1;
        EXPECT_EQ(rest.size(), c.breakFirst.size() + nowText().size() * unit + c.added.size());
    }
}

TEST_F(LogTest, LinesAnotherCopyAddedMeanwhileAreKept)
{
    makeLogFolder();
    Sandbox::writeFile(logPath(), "old run\r\n");
    Log& log = Log::instance();
    log.logging = true;
    LoadLog();
    WriteLog(QStringLiteral("this copy"));
    // The other copy ends first and adds its own line.
    Sandbox::writeFile(logPath(), "old run\r\nother copy\r\n");
    ASSERT_TRUE(log.finalize());
    const QStringList lines = QString::fromUtf8(Sandbox::readFile(logPath())).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("old run"));
    EXPECT_EQ(lines[1], QStringLiteral("other copy"));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" this copy")));
}

TEST_F(LogTest, ALogTheUserMayWriteIsClearedAndAddedToInPlace)
{
    // In a folder the user cannot write, and with a second name (hard link) beside it:
    // ClearLog writes the file where it stands, and every name keeps seeing it.
    struct Case { const char* name; bool shared; bool linked; };
    const Case cases[] = {{"shared folder", true, false}, {"hard link", false, true}};
    const QString otherName = sandbox.workFolder() + QStringLiteral("/prisliste-kopi.log");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(logFolder).removeRecursively();
        QFile::remove(otherName);
        makeLogFolder();
        Sandbox::writeFile(logPath(), "lines of earlier runs\r\n");
        if (c.linked)
            ASSERT_EQ(::link(QFile::encodeName(logPath()).constData(), QFile::encodeName(otherName).constData()), 0);
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        QList<MessageRequest> shown;
        setMessageHandler([&](const MessageRequest& r) { shown << r; return MessageAnswer::Ok; });
        {
            std::optional<SharedFolder> folder;
            if (c.shared)
                folder.emplace(logFolder, QStringList{logPath()}, sandbox.root());
            log.logging = true;
            ClearLog();
            LoadLog();
            WriteLog(QStringLiteral("BRUKER: Bjørn"));
            EXPECT_TRUE(log.finalize());
        }
        EXPECT_TRUE(shown.isEmpty());
        const QStringList lines = QString::fromUtf8(Sandbox::readFile(logPath())).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 3);
        EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" LOGGFIL TØMT (TextFile.ClearLog).")));
        EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" BRUKER: Bjørn")));
        if (c.linked)
            EXPECT_EQ(Sandbox::readFile(otherName), Sandbox::readFile(logPath()));
        EXPECT_EQ(QDir(logFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"prisliste.log"});
    }
}

TEST_F(LogTest, AddingToALargeLogReadsOnlyItsEndWhateverTheNewLinesHold)
{
    // A few MB of old lines; the new line holds text outside ASCII. The encoding of the
    // new line follows the lines of the last runs, at the end of the file.
    const QByteArray utf8 = "01.02.2026 10:00:01 BRUKER: Bj\xC3\xB8rn\r\n";
    const QByteArray latin1 = "01.02.2026 10:00:01 BRUKER: Bj\xF8rn\r\n";
    struct Case { const char* name; QByteArray first, last, added; };
    const Case cases[] = {
        {"UTF-8 throughout", utf8, utf8, " BRUKER: Bj\xC3\xB8rn, bl\xC3\xA5veis\r\n"},
        {"Latin-1 long ago, UTF-8 lately", latin1, utf8, " BRUKER: Bj\xC3\xB8rn, bl\xC3\xA5veis\r\n"},
        {"Latin-1 lately", utf8, latin1, " BRUKER: Bj\xF8rn, bl\xE5veis\r\n"},
    };
    const QByteArray line = "01.02.2026 10:00:00 Sletter /home/kari/Kvarnelo/tmp/0000001.tmp\r\n";
    makeLogFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray old = c.first;
        old.reserve(4 << 20);
        while (old.size() < (4 << 20))
            old += line;
        old += c.last;
        Sandbox::writeFile(logPath(), old);
        Log& log = Log::instance();
        log.initialize(QStringLiteral("prisliste"));
        log.logging = true;
        LoadLog();
        WriteLog(QStringLiteral("BRUKER: Bjørn, blåveis"));
        const qint64 before = bytesReadByThisProcess();
        ASSERT_TRUE(log.finalize());
        EXPECT_LT(bytesReadByThisProcess() - before, 256 * 1024) << "the old log is read whole";
        const QByteArray bytes = Sandbox::readFile(logPath());
        ASSERT_TRUE(bytes.startsWith(old));
        EXPECT_TRUE(bytes.endsWith(c.added));
    }
}
