// "prisliste --export ..." run as a nightly job would run it: no display, no box; the
// files it wrote on standard output, errors on standard error, the exit code.
#include "common/hs_reg.h"
#include "common/startup.h"
#include "pricelist/export/exportoptions.h"
#include "tests/export/csvreader.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QStringList out;
    QString err;
};

class ExportSwitch : public ::testing::Test {
protected:
    Sandbox sandbox;

    // fileSizeLimit: the largest file the program may write (a file system that fills up).
    Outcome run(const QStringList& arguments, unsigned port, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        QProcess process;
        if (fileSizeLimit != RLIM_INFINITY)
            process.setChildProcessModifier([fileSizeLimit] {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
            });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("APPDATA"), sandbox.appData());
        env.insert(QStringLiteral("PRISLISTE_DB_HOST"), QStringLiteral("127.0.0.1"));
        env.insert(QStringLiteral("PRISLISTE_DB_PORT"), QString::number(port));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(sandbox.workFolder());
        process.start(QStringLiteral(PRISLISTE_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << "the program did not end (a box waiting?)";
        Outcome o;
        o.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        o.out = QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        o.err = QString::fromLocal8Bit(process.readAllStandardError());
        return o;
    }
    QStringList exportFiles()
    {
        QStringList files;
        for (const char* sub : {"pdf", "csv", "html"}) {
            const QDir dir(sandbox.appData() + QStringLiteral("/Kvarnelo/export/") + QLatin1String(sub));
            for (const QString& f : dir.entryList(QDir::Files | QDir::Hidden))
                files << f;
        }
        return files;
    }
};

TEST_F(ExportSwitch, ExportsWithTheLastChoiceAndPrintsTheFiles)
{
    testdb::Admin admin;
    admin.exec(QStringLiteral("DELETE FROM product"));
    admin.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web, sale) VALUES "
                              "(1, 'Roser', 100, 0, 0), (2, 'Amaryllis', 9.99, 1, 1)"));
    // The dialog's last choice, as the settings file keeps it.
    startup({}, sandbox.appData() + QStringLiteral("/bin/prisliste"));
    ExportOptions choice;
    choice.products = ProductSelection::WebShop;
    saveExportOptions(choice);
    shutdown();
    SettingsStore::instance().reset();

    const Outcome o = run({QStringLiteral("--export"), QStringLiteral("csv,html")}, testdb::port());
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    ASSERT_EQ(o.out.size(), 2) << o.out.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(o.out[0].endsWith(QLatin1String(".csv")));
    EXPECT_TRUE(o.out[1].endsWith(QLatin1String(".html")));
    for (const QString& file : o.out)
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    const auto records = readCsv(QString::fromUtf8(Sandbox::readFile(o.out[0]).mid(3)), QLatin1Char(';'));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][0], QStringLiteral("Amaryllis"));
    EXPECT_EQ(exportFiles().size(), 2);
}

// Two switches, one with "=": both formats; the page does not fit on the disk, so the
// list that was written is printed all the same and the exit code says it failed.
TEST_F(ExportSwitch, ALaterFormatThatFailsLeavesTheEarlierOnesListed)
{
    testdb::Admin admin;
    admin.exec(QStringLiteral("DELETE FROM product"));
    QStringList values;
    for (int i = 1; i <= 120; ++i)
        values << QStringLiteral("(%1, 'Bukett nummer %1', %2, 0, 0)").arg(i).arg(10 * i);
    admin.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web, sale) VALUES ") + values.join(QLatin1Char(',')));

    // The CSV takes about 5 KB, the page about 13.
    const Outcome o = run({QStringLiteral("--export=csv"), QStringLiteral("--export"), QStringLiteral("html")},
                          testdb::port(), 8000);
    EXPECT_EQ(o.exitCode, 1) << o.err.toStdString();
    ASSERT_EQ(o.out.size(), 1) << o.out.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(o.out[0].endsWith(QLatin1String(".csv")));
    EXPECT_EQ(readCsv(QString::fromUtf8(Sandbox::readFile(o.out[0]).mid(3)), QLatin1Char(';')).size(), 121u);
    EXPECT_TRUE(o.err.contains(QStringLiteral("Kan ikke skrive i eksportmappen"))) << o.err.toStdString();
    EXPECT_EQ(exportFiles(), QStringList{QFileInfo(o.out[0]).fileName()}); // no half page, no temporary file
}

TEST_F(ExportSwitch, FailuresGoToStandardErrorWithANonZeroExit)
{
    QTcpServer closed;   // a port that nothing answers on once closed
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const unsigned deadPort = closed.serverPort();
    closed.close();

    const Outcome unreachable = run({QStringLiteral("--export"), QStringLiteral("pdf")}, deadPort);
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_TRUE(unreachable.out.isEmpty());
    EXPECT_TRUE(unreachable.err.contains(QStringLiteral("Can't connect to MySQL server"))) << unreachable.err.toStdString();

    const Outcome unknown = run({QStringLiteral("--export"), QStringLiteral("pdf,xls")}, testdb::port());
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("ukjent format \"xls\""))) << unknown.err.toStdString();

    const Outcome missing = run({QStringLiteral("--export")}, testdb::port());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(exportFiles().isEmpty());
}

TEST(ExportSwitchParsing, TakesTheNextArgumentOrTheValueBehindAndCombines)
{
    const struct {
        QStringList args;
        bool has;
        const char* formats;
    } cases[] = {
        {{"--export", "pdf,csv"}, true, "pdf,csv"},
        {{"--debug", "--export", "html", "--user", "kari"}, true, "html"},
        {{"--export"}, true, ""},
        {{"--EXPORT", "pdf"}, false, ""},
        {{"-export", "pdf"}, false, ""},
        {{"--export=csv"}, true, "csv"},
        {{"--export=pdf,csv", "--debug"}, true, "pdf,csv"},
        {{"--export", "pdf", "--export=html"}, true, "pdf,html"},
        {{"--export=csv", "--export", "pdf"}, true, "csv,pdf"},
        {{"--export="}, true, ""},
        {{"--exporter", "pdf"}, false, ""},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.hasExport, c.has) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(line.exportFormats, QLatin1String(c.formats)) << c.args.join(QLatin1Char(' ')).toStdString();
    }
}

}
