// An export that fails or is cancelled leaves no file under a final name and nothing
// outside its folders; pictures come from local plain files only.
#include "common/errors.h"
#include "pricelist/export/exportpicture.h"
#include "tests/export/exportfixture.h"
#include "tests/support/qstringprint.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ExportJobTest : public ExportFixture {
protected:
    void fill(int n)
    {
        for (int i = 0; i < n; ++i)
            add(QStringLiteral("Vare %1").arg(i), i);
    }
    QString errorOf(const ExportOptions& options)
    {
        try {
            ExportJob(table, options, QStringLiteral("Butikken"), day).run();
        } catch (const SilentAbort&) {
            return QStringLiteral("<cancelled>");
        } catch (const Error& e) {
            return e.message();
        }
        return QString();
    }
    QStringList allExportEntries()
    {
        QStringList all;
        for (const char* name : {"export\\pdf", "export\\csv", "export\\html", "export\\html\\varer"})
            for (const QString& e : entries(folder(name)))
                if (e != QLatin1String("varer"))
                    all << e;
        return all;
    }
};

TEST_F(ExportJobTest, CancelLeavesNoFileInAnyFormat)
{
    fill(2000);
    for (const char* format : {"pdf", "csv", "html"}) {
        ExportOptions options;
        options.pdf = std::string(format) == "pdf";
        options.csv = std::string(format) == "csv";
        options.html = std::string(format) == "html";
        ExportJob job(table, options, QStringLiteral("Butikken"), day);
        qint64 lastTotal = 0;
        job.progress = [&](qint64 done, qint64 total) {
            lastTotal = total;
            return done < 1000;
        };
        EXPECT_THROW(job.run(), SilentAbort) << format;
        EXPECT_EQ(lastTotal, 2000) << format;
        EXPECT_EQ(allExportEntries(), QStringList()) << format;
    }
}

TEST_F(ExportJobTest, ProgressCountsEveryProductOfEveryFormat)
{
    fill(450);
    ExportOptions options;
    ExportJob job(table, options, QStringLiteral("Butikken"), day);
    std::vector<qint64> seen;
    job.progress = [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 1350);
        seen.push_back(done);
        return true;
    };
    EXPECT_EQ(job.run().files.size(), 3);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 1350);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST_F(ExportJobTest, AFolderThatCannotBeUsedIsNamedAndNothingIsWritten)
{
    fill(3);
    const QString outside = sandbox.root() + QStringLiteral("/elsewhere");
    QDir().mkpath(outside);
    const QString csv = folder("export\\csv");
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char* why;
    };
    const Case cases[] = {
        {"a link", [&] { QDir(csv).removeRecursively(); QFile::link(outside, csv.chopped(1)); }, "mappen er en lenke"},
        {"missing outside the base",
         [&] { setsection(QStringLiteral("FOLDERS")); writeinistring(QStringLiteral("export\\csv_folder"), sandbox.root() + QStringLiteral("/borte/")); resetsection(); },
         "mappen finnes ikke"},
        {"a file", [&] { QFile::remove(csv.chopped(1)); QDir(csv).removeRecursively(); Sandbox::writeFile(csv.chopped(1), "x"); }, "mappen finnes ikke"},
    };
    for (const Case& c : cases) {
        c.arrange();
        const QString folderNow = folder("export\\csv");
        const QString error = errorOf(ExportOptions{});
        EXPECT_EQ(error, QStringLiteral("Kan ikke skrive i eksportmappen %1: %2").arg(folderNow, QLatin1String(c.why)))
            << c.what;
        // Checked before anything was written: not even the PDF of the same export.
        EXPECT_EQ(entries(folder("export\\pdf")), QStringList()) << c.what;
        EXPECT_EQ(entries(outside), QStringList()) << c.what;
        QFile::remove(csv.chopped(1));
        QDir(csv).removeRecursively();
        setsection(QStringLiteral("FOLDERS"));
        writeinistring(QStringLiteral("export\\csv_folder"), csv);
        resetsection();
        QDir().mkpath(csv);
    }
}

TEST_F(ExportJobTest, AnUnwritableFolderIsNamed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    fill(1);
    const QString csv = folder("export\\csv");
    ASSERT_EQ(chmod(QFile::encodeName(csv).constData(), 0500), 0);
    EXPECT_EQ(errorOf(ExportOptions{}), QStringLiteral("Kan ikke skrive i eksportmappen %1: ingen skrivetilgang").arg(csv));
    chmod(QFile::encodeName(csv).constData(), 0700);
}

TEST_F(ExportJobTest, AnOldFileIsReplacedWholeButNeverThroughALinkOrOverAFolder)
{
    fill(2);
    const QString target = QDir(folder("export\\csv")).filePath(QStringLiteral("prisliste-2026-12-10.csv"));
    Sandbox::writeFile(target, "gammel");
    ExportOptions csvOnly;
    csvOnly.pdf = csvOnly.html = false;
    EXPECT_EQ(errorOf(csvOnly), QString());
    EXPECT_TRUE(Sandbox::readFile(target).startsWith("\xEF\xBB\xBF" "Tekst;"));

    const QString victim = sandbox.root() + QStringLiteral("/offer.txt");
    Sandbox::writeFile(victim, "urørt");
    QFile::remove(target);
    ASSERT_TRUE(QFile::link(victim, target));
    EXPECT_TRUE(errorOf(csvOnly).endsWith(QLatin1String("prisliste-2026-12-10.csv er ikke en vanlig fil")));
    EXPECT_EQ(Sandbox::readFile(victim), QByteArray("urørt"));

    QFile::remove(target);
    QDir().mkpath(target);
    EXPECT_TRUE(errorOf(csvOnly).endsWith(QLatin1String("prisliste-2026-12-10.csv er ikke en vanlig fil")));
    EXPECT_EQ(entries(folder("export\\csv")), QStringList{QStringLiteral("prisliste-2026-12-10.csv")});
}

TEST_F(ExportJobTest, PicturesComeOnlyFromPlainLocalFiles)
{
    const QString dir = writePicture(QStringLiteral("pics"), QStringLiteral("god.png"), QSize(300, 600), Qt::green);
    ASSERT_EQ(mkfifo(QFile::encodeName(dir + QStringLiteral("fifo.jpg")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("god.png"), dir + QStringLiteral("lenke.png")));
    Sandbox::writeFile(dir + QStringLiteral("halv.png"), Sandbox::readFile(dir + QStringLiteral("god.png")).left(60));

    struct Case {
        const char* name;
        bool loads;
    };
    const Case cases[] = {{"god.png", true},   {"lenke.png", true},  {"fifo.jpg", false}, {"halv.png", false},
                          {"borte.png", false}, {"", false}};
    QElapsedTimer timer;
    timer.start();
    for (const Case& c : cases) {
        const QImage image = loadPictureFile(dir + QLatin1String(c.name), 200);
        EXPECT_EQ(!image.isNull(), c.loads) << c.name;
        if (c.loads)
            EXPECT_EQ(image.size(), QSize(100, 200)) << c.name;
    }
    EXPECT_TRUE(loadPictureFile(QStringLiteral("/dev/zero"), 200).isNull());
    EXPECT_TRUE(loadPictureFile(dir, 200).isNull());
    EXPECT_LT(timer.elapsed(), 20000);   // a FIFO or device would hang, not slow down

    // In an export, the products without a usable picture are counted.
    writeinistring(QStringLiteral("DOC_LOCAL"), dir);
    for (const Case& c : cases)
        add(QString::fromLatin1(c.name), 1, 0, 0, {}, QString::fromLatin1(c.name));
    ExportOptions options;
    options.pictures = true;
    ExportJob job(table, options, QStringLiteral("Butikken"), day);
    EXPECT_EQ(job.run().picturesLeftOut, 3);
}

TEST(CommonFolder, IsTheNearestFolderHoldingEveryFile)
{
    EXPECT_EQ(commonFolder({QStringLiteral("/a/export/pdf/x.pdf"), QStringLiteral("/a/export/csv/x.csv")}),
              QStringLiteral("/a/export"));
    EXPECT_EQ(commonFolder({QStringLiteral("/a/export/pdf/x.pdf")}), QStringLiteral("/a/export/pdf"));
    EXPECT_EQ(commonFolder({QStringLiteral("/a/b/x"), QStringLiteral("/c/y")}), QStringLiteral("/"));
}

}
