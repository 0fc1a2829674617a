#include "common/filewritelock.h"
#include "common/inidocument.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(IniDocument, ReadsAndWritesBackByTheFormatRules)
{
    struct Case { const char* name; const char* file; const char* written; };
    const Case cases[] = {
        {"comments, blanks and lines before the first section are dropped",
         "orphan=1\n; comment\n\n[A]\n  key = value  \n;x=y\n\n", "[A]\r\nkey=value\r\n\r\n"},
        {"a line without = stays a line of its own",
         "[A]\nfree text\nk=v\n", "[A]\r\nfree text\r\nk=v\r\n\r\n"},
        {"the key ends at the first =", "[A]\nk = a=b \n", "[A]\r\nk=a=b\r\n\r\n"},
        {"section names are stripped", "[  A  ]\nk=v\r\n", "[A]\r\nk=v\r\n\r\n"},
        {"a repeated section name in other case joins the first",
         "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n", "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n"},
        {"an empty section survives", "[A]\n[B]\nk=v\n", "[A]\r\n\r\n[B]\r\nk=v\r\n\r\n"},
        {"CR line ends", "[A]\rk=v\r", "[A]\r\nk=v\r\n\r\n"},
        {"garbage without a section gives an empty document", "\x01\x02 garbage\nmore=garbage\n", ""},
        {"an empty file", "", ""},
    };
    for (const Case& c : cases) {
        IniDocument doc;
        doc.parse(QByteArray(c.file));
        EXPECT_EQ(doc.serialize(), QByteArray(c.written)) << c.name;
    }
}

TEST(IniDocument, NamesAreComparedWithoutCaseAndOrderIsKept)
{
    IniDocument doc;
    doc.parse("[Standard]\nLogToFile=1\nB=2\nfree line\n[FOLDERS]\ntmp_folder=/x/\n");
    EXPECT_EQ(doc.value(QStringLiteral("STANDARD"), QStringLiteral("logtofile")), QStringLiteral("1"));
    EXPECT_TRUE(doc.hasKey(QStringLiteral("folders"), QStringLiteral("TMP_FOLDER")));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("STANDARD"), QStringLiteral("free line")));
    EXPECT_EQ(doc.value(QStringLiteral("NOPE"), QStringLiteral("B")), QString());

    doc.setValue(QStringLiteral("STANDARD"), QStringLiteral("LOGTOFILE"), QStringLiteral("0")); // in place, name kept
    doc.setValue(QStringLiteral("standard"), QStringLiteral("New"), QStringLiteral("n"));        // end of its section
    doc.setValue(QStringLiteral("Z"), QStringLiteral("k"), QStringLiteral("v"));                 // new section last
    EXPECT_EQ(doc.sectionNames(), (QStringList{"Standard", "FOLDERS", "Z"}));
    EXPECT_EQ(doc.keys(QStringLiteral("STANDARD")), (QStringList{"LogToFile", "B", "New"}));
    EXPECT_EQ(doc.serialize(),
              QByteArray("[Standard]\r\nLogToFile=0\r\nB=2\r\nfree line\r\nNew=n\r\n\r\n"
                         "[FOLDERS]\r\ntmp_folder=/x/\r\n\r\n[Z]\r\nk=v\r\n\r\n"));
}

TEST(IniDocument, ValueWithALineBreakCannotStartANewSection)
{
    IniDocument doc;
    doc.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("one\r\n[FOLDERS]\nx=y"));
    IniDocument reread;
    reread.parse(doc.serialize());
    EXPECT_EQ(reread.sectionNames(), QStringList{"A"});
    EXPECT_EQ(reread.value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("one [FOLDERS] x=y"));
}

TEST(IniDocument, ByteOrderMarkAndEncodingAreKept)
{
    struct Case { const char* name; QByteArray mark; QStringConverter::Encoding encoding; };
    const Case cases[] = {
        {"UTF-8", QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
        {"UTF-16LE", QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
        {"UTF-16BE", QByteArray("\xFE\xFF"), QStringConverter::Utf16BE},
    };
    for (const Case& c : cases) {
        QStringEncoder encode(c.encoding);
        IniDocument doc;
        doc.parse(c.mark + QByteArray(encode(QStringLiteral("[Firma]\r\nNavn=Brisvald Blomster Søm & Shop\r\n"))));
        EXPECT_EQ(doc.value(QStringLiteral("FIRMA"), QStringLiteral("navn")), QStringLiteral("Brisvald Blomster Søm & Shop"));
        doc.setValue(QStringLiteral("Firma"), QStringLiteral("By"), QStringLiteral("Bø"));
        const QByteArray bytes = doc.serialize();
        ASSERT_TRUE(bytes.startsWith(c.mark)) << c.name;
        QStringDecoder decode(c.encoding);
        EXPECT_EQ(QString(decode(bytes.mid(c.mark.size()))),
                  QStringLiteral("[Firma]\r\nNavn=Brisvald Blomster Søm & Shop\r\nBy=Bø\r\n\r\n")) << c.name;
    }
}

TEST(IniDocument, BytesThatAreNotValidTextComeBackUnchanged)
{
    const QByteArray file("[A]\r\nNavn=S\xF8m \xFF\r\n\r\n");
    IniDocument doc;
    doc.parse(file);
    EXPECT_EQ(doc.serialize(), file);
}

TEST(IniDocument, LoadAndSaveThroughTheFile)
{
    Sandbox sandbox;
    const QString path = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    IniDocument doc;
    EXPECT_TRUE(doc.load(path)); // missing: empty, nothing created
    EXPECT_TRUE(doc.sectionNames().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    doc.setValue(QStringLiteral("STANDARD"), QStringLiteral("LogToFile"), QStringLiteral("1"));
    ASSERT_TRUE(doc.save(path));
    EXPECT_EQ(Sandbox::readFile(path), QByteArray("[STANDARD]\r\nLogToFile=1\r\n\r\n"));
    EXPECT_EQ(QDir(sandbox.workFolder()).entryList(QDir::Files), QStringList{"kvarnelo.ini"});

    EXPECT_FALSE(doc.save(sandbox.workFolder() + QStringLiteral("/gone/kvarnelo.ini")));
    EXPECT_NE(doc.lastError(), 0);
}

TEST(IniDocument, TwoCopiesOnOneFileKeepEachOthersChanges)
{
    Sandbox sandbox;
    const QString path = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    const QByteArray start = "[STANDARD]\r\nLogToFile=1\r\nShared=old\r\n\r\n[FOLDERS]\r\ntmp_folder=/t/\r\n\r\n";
    Sandbox::writeFile(path, start);
    IniDocument first, second;
    ASSERT_TRUE(first.load(path));
    ASSERT_TRUE(second.load(path));
    first.setValue(QStringLiteral("STANDARD"), QStringLiteral("FirstOnly"), QStringLiteral("1"));
    first.setValue(QStringLiteral("STANDARD"), QStringLiteral("Shared"), QStringLiteral("first"));
    second.setValue(QStringLiteral("FOLDERS"), QStringLiteral("log_folder"), QStringLiteral("/l/"));
    second.setValue(QStringLiteral("VINDU-X"), QStringLiteral("Left"), QStringLiteral("7"));
    second.setValue(QStringLiteral("standard"), QStringLiteral("shared"), QStringLiteral("second"));
    ASSERT_TRUE(first.save(path));
    ASSERT_TRUE(second.save(path)); // the later write wins where both set a key
    const QByteArray merged = "[STANDARD]\r\nLogToFile=1\r\nShared=second\r\nFirstOnly=1\r\n\r\n"
                              "[FOLDERS]\r\ntmp_folder=/t/\r\nlog_folder=/l/\r\n\r\n"
                              "[VINDU-X]\r\nLeft=7\r\n\r\n";
    EXPECT_EQ(Sandbox::readFile(path), merged);
    EXPECT_EQ(second.serialize(), merged); // the copy now holds the file as written

    // The first copy's next write-back puts only what it set since its last write.
    first.setValue(QStringLiteral("STANDARD"), QStringLiteral("Later"), QStringLiteral("x"));
    ASSERT_TRUE(first.save(path));
    IniDocument reread;
    reread.load(path);
    EXPECT_EQ(reread.value(QStringLiteral("STANDARD"), QStringLiteral("Shared")), QStringLiteral("second"));
    EXPECT_EQ(reread.value(QStringLiteral("VINDU-X"), QStringLiteral("Left")), QStringLiteral("7"));
    EXPECT_EQ(reread.value(QStringLiteral("STANDARD"), QStringLiteral("Later")), QStringLiteral("x"));
}

TEST(IniDocument, AloneItWritesExactlyWhatItHolds)
{
    // Values that the file cannot keep as they are (blanks at the ends) are written as
    // held, not re-read first: a copy running alone writes what it always wrote.
    Sandbox sandbox;
    const QString path = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    Sandbox::writeFile(path, "[A]\r\nk=1\r\n");
    IniDocument doc;
    ASSERT_TRUE(doc.load(path));
    doc.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral(" padded "));
    ASSERT_TRUE(doc.save(path));
    doc.setValue(QStringLiteral("A"), QStringLiteral("j"), QStringLiteral("2"));
    ASSERT_TRUE(doc.save(path));
    EXPECT_EQ(Sandbox::readFile(path), QByteArray("[A]\r\nk= padded \r\nj=2\r\n\r\n"));
}

TEST(IniDocument, ManySectionsAndRepeatedNamesAreFoundAsFromTheTop)
{
    // 20,000 sections: every lookup went through all of them before. Names repeat in
    // other letter case (non-ASCII too); the first section and the first key of a name win.
    QByteArray file;
    for (int i = 0; i < 20000; ++i)
        file += "[Vindu-" + QByteArray::number(i) + "]\nLeft=" + QByteArray::number(i) + "\n";
    file += "[vindu-7]\nleft=second\nTop=1\n[SØM]\nk=first\nK=second\n[søm]\nk=third\n";
    IniDocument doc;
    doc.parse(file);
    EXPECT_EQ(doc.sectionNames().size(), 20001);
    EXPECT_EQ(doc.value(QStringLiteral("VINDU-19999"), QStringLiteral("LEFT")), QStringLiteral("19999"));
    EXPECT_EQ(doc.value(QStringLiteral("VINDU-7"), QStringLiteral("left")), QStringLiteral("7"));
    EXPECT_EQ(doc.keys(QStringLiteral("vindu-7")), (QStringList{"Left", "left", "Top"}));
    EXPECT_EQ(doc.value(QStringLiteral("søm"), QStringLiteral("K")), QStringLiteral("first"));
    EXPECT_EQ(doc.sectionNames().last(), QStringLiteral("SØM"));

    doc.setValue(QStringLiteral("Søm"), QStringLiteral("K"), QStringLiteral("changed"));
    doc.setValue(QStringLiteral("VINDU-20000"), QStringLiteral("Left"), QStringLiteral("new"));
    IniDocument reread;
    reread.parse(doc.serialize());
    EXPECT_EQ(reread.keys(QStringLiteral("SØM")), (QStringList{"k", "K", "k"}));
    EXPECT_EQ(reread.value(QStringLiteral("SØM"), QStringLiteral("k")), QStringLiteral("changed"));
    EXPECT_EQ(reread.sectionNames().last(), QStringLiteral("VINDU-20000"));
}

TEST(IniDocument, LoadingAgainFromAMissingFileLeavesNothingOfTheOldDocument)
{
    Sandbox sandbox;
    IniDocument doc;
    doc.parse("[A]\nk=v\n[B]\nx=y\n");
    ASSERT_TRUE(doc.load(sandbox.workFolder() + QStringLiteral("/missing.ini")));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("B"), QStringLiteral("x")));
    EXPECT_EQ(doc.value(QStringLiteral("A"), QStringLiteral("k")), QString());
    doc.setValue(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("new"));
    EXPECT_EQ(doc.serialize(), QByteArray("[B]\r\nx=new\r\n\r\n"));
}

TEST(IniDocument, WriteBackWaitsForAnotherCopyThatHoldsTheLock)
{
    Sandbox sandbox;
    const QString path = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    const QString holding = sandbox.workFolder() + QStringLiteral("/holding");
    Sandbox::writeFile(path, "[A]\r\nk=1\r\n");
    IniDocument doc;
    ASSERT_TRUE(doc.load(path));
    doc.setValue(QStringLiteral("A"), QStringLiteral("mine"), QStringLiteral("1"));
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) { // the other copy: takes the lock, then writes its key a moment later
        FileWriteLock lock(path);
        Sandbox::writeFile(holding, "");
        ::usleep(300 * 1000);
        Sandbox::writeFile(path, "[A]\r\nk=1\r\ntheirs=1\r\n");
        ::_exit(0);
    }
    while (!QFileInfo::exists(holding))
        ::usleep(1000);
    ASSERT_TRUE(doc.save(path)); // waits for the lock, then sees the other copy's key
    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_EQ(Sandbox::readFile(path), QByteArray("[A]\r\nk=1\r\ntheirs=1\r\nmine=1\r\n\r\n"));
}

TEST(IniDocument, AFileWithOtherNamesIsWrittenInPlaceSoEveryNameSeesIt)
{
    Sandbox sandbox;
    const QString path = sandbox.workFolder() + QStringLiteral("/kvarnelo.ini");
    const QString other = sandbox.workFolder() + QStringLiteral("/butikk.ini");
    Sandbox::writeFile(path, "[STANDARD]\r\nLogToFile=1\r\nDOC_URL=http://a-long-old-address/that/shrinks/\r\n\r\n");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    IniDocument doc;
    ASSERT_TRUE(doc.load(path));
    doc.setValue(QStringLiteral("STANDARD"), QStringLiteral("DOC_URL"), QStringLiteral("http://b/"));
    ASSERT_TRUE(doc.save(path));
    const QByteArray expected = "[STANDARD]\r\nLogToFile=1\r\nDOC_URL=http://b/\r\n\r\n";
    EXPECT_EQ(Sandbox::readFile(path), expected);
    EXPECT_EQ(Sandbox::readFile(other), expected);
    doc.setValue(QStringLiteral("STANDARD"), QStringLiteral("Grows"), QString(5000, u'x'));
    ASSERT_TRUE(doc.save(other));
    EXPECT_EQ(Sandbox::readFile(path), Sandbox::readFile(other));
    EXPECT_EQ(QFileInfo(path).size(), expected.size() + 5008);
    EXPECT_EQ(QDir(sandbox.workFolder()).entryList(QDir::Files), (QStringList{"butikk.ini", "kvarnelo.ini"}));
}
