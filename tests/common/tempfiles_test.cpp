#include "common/hs_reg.h"
#include "common/startup.h"
#include "common/tempfiles.h"
#include "common/textfil.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
class TempFilesTest : public ::testing::Test {
protected:
    TempFilesTest()
    {
        base = sandbox.appData() + QStringLiteral("/Kvarnelo/");
        QDir().mkpath(base + QStringLiteral("data"));
        program = sandbox.root() + QStringLiteral("/prisliste");
    }
    ~TempFilesTest() override
    {
        SettingsStore::instance().reset();
        qunsetenv("TEMP");
    }

    // A folder with files, a hidden file, a read-only file, sub-folders and a link out.
    void fill(const QString& folder)
    {
        Sandbox::writeFile(folder + QStringLiteral("/a.txt"), "a");
        Sandbox::writeFile(folder + QStringLiteral("/.hidden"), "h");
        Sandbox::writeFile(folder + QStringLiteral("/sub/deeper/b.txt"), "b");
        const QString readOnly = folder + QStringLiteral("/sub/ro.txt");
        Sandbox::writeFile(readOnly, "r");
        QFile::setPermissions(readOnly, QFile::ReadOwner);
        QFile::link(outside, folder + QStringLiteral("/link-to-outside"));
        QFile::link(outside + QStringLiteral("/keep.txt"), folder + QStringLiteral("/sub/file-link"));
    }
    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    void startWith(const QByteArray& settings, FakeIdentity identity = {})
    {
        Sandbox::writeFile(sandbox.workFolder() + QStringLiteral("/kvarnelo.ini"), "[STANDARD]\r\n" + settings);
        setPlatform(std::make_unique<FakePlatform>(identity));
        startup({}, program);
    }
    QStringList messages() const
    {
        QStringList list;
        for (const QString& line : Log::instance().lines())
            list << line.section(QLatin1Char(' '), 2);
        return list;
    }

    Sandbox sandbox;
    ScopedPlatform platform;
    QString base, program;
    QString outside = sandbox.root() + QStringLiteral("/outside");
};
}

TEST_F(TempFilesTest, DeletetreeEmptiesTheStartFolderAndNeverFollowsALink)
{
    Sandbox::writeFile(outside + QStringLiteral("/keep.txt"), "keep");
    const QString tmp = base + QStringLiteral("tmp/");
    fill(base + QStringLiteral("tmp"));
    Log::instance().initialize(program);
    Log::instance().logging = Log::instance().verbose = true;
    cleanfolder(base + QStringLiteral("tmp"));
    EXPECT_TRUE(QFileInfo(tmp).isDir());
    EXPECT_EQ(entries(tmp), QStringList());
    EXPECT_EQ(entries(outside), QStringList{"keep.txt"});
    const QStringList logged = messages();
    EXPECT_TRUE(logged.contains(QStringLiteral("Sletter mappen ") + tmp));
    EXPECT_TRUE(logged.contains(QStringLiteral("Sletter mappen ") + tmp + QStringLiteral("sub/deeper/")));
    EXPECT_TRUE(logged.contains(QStringLiteral("Sletter ") + tmp + QStringLiteral("sub/ro.txt")));
    EXPECT_TRUE(logged.contains(QStringLiteral("Sletter ") + tmp + QStringLiteral("link-to-outside")));
    EXPECT_EQ(Log::instance().errorCount, 0);
}

TEST_F(TempFilesTest, CleanfolderIgnoresShortAndMissingFolders)
{
    Log::instance().initialize(program);
    Log::instance().logging = true;
    cleanfolder(QStringLiteral("/"));
    cleanfolder(QStringLiteral("/root"));  // "/root/" is 6 long
    cleanfolder(sandbox.root() + QStringLiteral("/missing"));
    EXPECT_TRUE(Log::instance().lines().isEmpty());
    EXPECT_TRUE(QFileInfo(QStringLiteral("/root")).isDir());
}

TEST_F(TempFilesTest, StartUpEmptiesOnlyFoldersThatPassTheGuards)
{
    struct Case {
        const char* name;
        const char* settings;
        const char* tempName; // the TEMP folder under the sandbox, or null for unset
        bool tmpEmptied, tempEmptied, spoolEmptied;
    };
    const Case cases[] = {
        {"nothing asked", "", "my-temp", false, false, false},
        {"only our tmp", "DeleteTemporaryFiles=1\r\n", "my-temp", true, false, false},
        {"system without the first switch", "DeleteSystemTemporaryFiles=1\r\n", "my-temp", false, false, false},
        {"system", "DeleteTemporaryFiles=1\r\nDeleteSystemTemporaryFiles=1\r\n", "my-temp", true, true, true},
        {"TEMP unset: spool only", "DeleteTemporaryFiles=1\r\nDeleteSystemTemporaryFiles=1\r\n", nullptr, true, false, true},
        {"TEMP without the word", "DeleteTemporaryFiles=1\r\nDeleteSystemTemporaryFiles=1\r\n", "scratch", true, false, true},
    };
    for (const Case& c : cases) {
        const QString tmp = base + QStringLiteral("tmp");
        const QString spool = sandbox.root() + QStringLiteral("/System32/spool/PRINTERS");
        // TEMP is given relative to the working folder, so only its own name can hold the word.
        const QString tempName = QString::fromUtf8(c.tempName ? c.tempName : "my-temp");
        const QString temp = sandbox.workFolder() + QLatin1Char('/') + tempName;
        for (const QString& f : {tmp, spool, temp})
            Sandbox::writeFile(f + QStringLiteral("/file.tmp"), "x");
        if (c.tempName)
            qputenv("TEMP", tempName.toLocal8Bit());
        else
            qunsetenv("TEMP");
        FakeIdentity id;
        id.spoolFolder = spool + QLatin1Char('/');
        startWith(c.settings, id);
        EXPECT_EQ(entries(tmp).isEmpty(), c.tmpEmptied) << c.name;
        EXPECT_EQ(entries(temp).isEmpty(), c.tempEmptied) << c.name;
        EXPECT_EQ(entries(spool).isEmpty(), c.spoolEmptied) << c.name;
        EXPECT_TRUE(QFileInfo(tmp).isDir() && QFileInfo(spool).isDir() && QFileInfo(temp).isDir()) << c.name;
        shutdown();
    }
}

TEST_F(TempFilesTest, TmpFolderWhosePathLacksTheWordIsLeftAlone)
{
    // Relative to the working folder, so that the text lacks "tmp" wherever the sandbox lies.
    Sandbox::writeFile(sandbox.workFolder() + QStringLiteral("/scratch/precious.doc"), "x");
    startWith("DeleteTemporaryFiles=1\r\n[FOLDERS]\r\ntmp_folder=scratch/\r\n");
    EXPECT_EQ(entries(sandbox.workFolder() + QStringLiteral("/scratch")), QStringList{"precious.doc"});
    shutdown();
}

TEST_F(TempFilesTest, TemporaryFolderThatIsALinkIsNotEntered)
{
    // Registered folders that are links: "tmp", the system's TEMP and the spool folder.
    Sandbox::writeFile(outside + QStringLiteral("/keep.txt"), "keep");
    Sandbox::writeFile(outside + QStringLiteral("/sub/deeper.txt"), "keep");
    const QString tmpLink = sandbox.root() + QStringLiteral("/tmp-link");
    const QString tempLink = sandbox.workFolder() + QStringLiteral("/temp-link");
    const QString spoolLink = sandbox.root() + QStringLiteral("/spool-link");
    for (const QString& link : {tmpLink, tempLink, spoolLink})
        ASSERT_TRUE(QFile::link(outside, link));
    qputenv("TEMP", "temp-link");
    FakeIdentity id;
    id.spoolFolder = spoolLink + QLatin1Char('/');
    startWith("DeleteTemporaryFiles=1\r\nDeleteSystemTemporaryFiles=1\r\n[FOLDERS]\r\ntmp_folder=" + tmpLink.toUtf8()
                  + "/\r\n",
              id);
    EXPECT_EQ(entries(outside), (QStringList{"keep.txt", "sub"}));
    EXPECT_EQ(entries(outside + QStringLiteral("/sub")), QStringList{"deeper.txt"});
    for (const QString& link : {tmpLink, tempLink, spoolLink})
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << link.toStdString();
    shutdown();
}
