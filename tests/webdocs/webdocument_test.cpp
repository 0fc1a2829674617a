#include "common/busycursor.h"
#include "common/hs_reg.h"
#include "common/textfil.h"
#include "tests/webdocs/downloadfixture.h"
#include "webdocs/webdocument.h"
#include "webdocs/webfoldersetup.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <map>
#include <optional>

namespace {

struct Setting {
    const char* key;
    QString value;
};

} // namespace

class WebDocumentTest : public DownloadFixture {
protected:
    WebDocumentTest()
    {
        SettingsStore::instance().reset();
        openini(sandbox.appData() + QStringLiteral("/kvarnelo.ini"));
        server.setHandler([](const QByteArray& head) {
            return HttpAnswer::withLength(200, "OK", "doc:" + head.split(' ').value(1));
        });
    }
    ~WebDocumentTest() override { SettingsStore::instance().reset(); }

    // The paths the server was asked for, in order.
    QStringList fetched() const
    {
        QStringList paths;
        for (const QByteArray& head : server.requests())
            paths << QString::fromUtf8(head.split(' ').value(1));
        return paths;
    }

    void apply(const std::vector<Setting>& settings)
    {
        for (const Setting& s : settings)
            writeinistring(QString::fromLatin1(s.key), s.value);
    }

    QString web(const QString& folder) const { return server.url(QStringLiteral("/") + folder); }
    QString docs() const { return path(QStringLiteral("docs/")); }
};

TEST_F(WebDocumentTest, ResolvesAndFetchesByTheSettings)
{
    const QString elsewhere = QStringLiteral("http://elsewhere.example/");
    struct Case {
        const char* name;
        std::vector<Setting> settings;
        QString reference;
        bool localonly;
        QString expectedPath;
        QStringList expectedFetch; // server paths asked for
    } cases[] = {
        {"pair 2 matches after pair 1 did not",
         {{"DOC_URL_TRANSELATE_0_1", elsewhere}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_URL_TRANSELATE_0_2", web(QStringLiteral("w2/"))}, {"DOC_URL_TRANSELATE_1_2", path(QStringLiteral("two/"))}},
         web(QStringLiteral("w2/sub/a.jpg")), false, path(QStringLiteral("two/sub/a.jpg")), {QStringLiteral("/w2/sub/a.jpg")}},
        {"first of two matching pairs wins",
         {{"DOC_URL_TRANSELATE_0_1", web(QString())}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_URL_TRANSELATE_0_3", web(QStringLiteral("w3/"))}, {"DOC_URL_TRANSELATE_1_3", path(QStringLiteral("three/"))}},
         web(QStringLiteral("w3/a.jpg")), false, path(QStringLiteral("one/w3/a.jpg")), {QStringLiteral("/w3/a.jpg")}},
        {"pair 9 is the last one",
         {{"DOC_URL_TRANSELATE_0_9", web(QStringLiteral("w9/"))}, {"DOC_URL_TRANSELATE_1_9", path(QStringLiteral("nine/"))}},
         web(QStringLiteral("w9/a.jpg")), false, path(QStringLiteral("nine/a.jpg")), {QStringLiteral("/w9/a.jpg")}},
        {"empty web folder never matches; inactive web folder",
         {{"DOC_URL_TRANSELATE_0_1", QString()}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_LOCAL", docs()}},
         web(QStringLiteral("w/a.jpg")), false, docs() + QStringLiteral("a.jpg"), {}},
        {"web folder inside the reference, not at its start",
         {{"DOC_URL_TRANSELATE_0_1", QStringLiteral("w2/")}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         web(QStringLiteral("w2/a.jpg")), false, docs() + QStringLiteral("a.jpg"), {QStringLiteral("/w2/a.jpg")}},
        {"comparison is case-sensitive",
         {{"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("W2/"))}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_LOCAL", docs()}},
         web(QStringLiteral("w2/a.jpg")), false, docs() + QStringLiteral("a.jpg"), {}},
        {"translated reference is fetched with the web folder inactive, check box off",
         {{"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("w/"))}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_URL_ACTIVE", QStringLiteral("0")}, {"DOC_URL_TRANSELATE", QStringLiteral("0")}},
         web(QStringLiteral("w/a.jpg")), false, path(QStringLiteral("one/a.jpg")), {QStringLiteral("/w/a.jpg")}},
        {"absolute reference lands by file name in the local folder",
         {{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         web(QStringLiteral("blomster/x/a.jpg")), false, docs() + QStringLiteral("a.jpg"), {QStringLiteral("/blomster/x/a.jpg")}},
        {"relative reference joins both folders",
         {{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         QStringLiteral("sub/a.jpg"), false, docs() + QStringLiteral("sub/a.jpg"), {QStringLiteral("/base/sub/a.jpg")}},
        {"bare name with no local folder lands in the working folder",
         {{"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         QStringLiteral("a.jpg"), false, QStringLiteral("a.jpg"), {QStringLiteral("/base/a.jpg")}},
        {"no settings at all",
         {},
         QStringLiteral("a.jpg"), false, QStringLiteral("a.jpg"), {}},
        {"local only never fetches",
         {{"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("w/"))}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))},
          {"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         web(QStringLiteral("w/a.jpg")), true, path(QStringLiteral("one/a.jpg")), {}},
        {"local only, relative",
         {{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}},
         QStringLiteral("a.jpg"), true, docs() + QStringLiteral("a.jpg"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore::instance().reset();
        openini(sandbox.appData() + QStringLiteral("/case.ini"));
        apply(c.settings);
        for (const QFileInfo& entry : QDir(sandbox.workFolder()).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries))
            entry.isDir() ? void(QDir(entry.filePath()).removeRecursively()) : void(QFile::remove(entry.filePath()));
        messages.clear();
        const qsizetype before = server.requests().size();

        EXPECT_EQ(finddocument(c.reference, c.localonly), c.expectedPath);
        EXPECT_EQ(fetched().mid(before), c.expectedFetch);
        EXPECT_EQ(QFile::exists(c.expectedPath), !c.expectedFetch.isEmpty());
        if (!c.expectedFetch.isEmpty())
            EXPECT_EQ(Sandbox::readFile(c.expectedPath), "doc:" + c.expectedFetch.first().toUtf8());
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        QFile::remove(sandbox.appData() + QStringLiteral("/case.ini"));
    }
}

TEST_F(WebDocumentTest, ExistingFileIsNeverFetchedAgain)
{
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")},
           {"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("w/"))}, {"DOC_URL_TRANSELATE_1_1", docs()}});
    Sandbox::writeFile(docs() + QStringLiteral("a.jpg"), "local copy");
    EXPECT_EQ(finddocument(QStringLiteral("a.jpg"), false), docs() + QStringLiteral("a.jpg"));
    EXPECT_EQ(finddocument(web(QStringLiteral("w/a.jpg")), false), docs() + QStringLiteral("a.jpg"));
    EXPECT_EQ(finddocument(web(QStringLiteral("other/a.jpg")), false), docs() + QStringLiteral("a.jpg"));
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(Sandbox::readFile(docs() + QStringLiteral("a.jpg")), "local copy");
}

TEST_F(WebDocumentTest, FailedFetchReturnsTheSamePathAndShowsOneMessage)
{
    server.enqueue(HttpAnswer::withLength(404, "Not Found", ""));
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}});
    EXPECT_EQ(finddocument(QStringLiteral("a b.jpg"), false), docs() + QStringLiteral("a b.jpg"));
    EXPECT_FALSE(QFile::exists(docs() + QStringLiteral("a b.jpg")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + web(QStringLiteral("base/a%20b.jpg"))});
    EXPECT_EQ(cursorAtMessage, nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WebDocumentTest, FailureBoxShowsTheNormalCursorOnEveryRoute)
{
    server.setHandler([](const QByteArray&) { return HttpAnswer::withLength(404, "Not Found", ""); });
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}});
    const QString target = docs() + QStringLiteral("a.jpg");
    const QString url = web(QStringLiteral("base/a.jpg"));
    struct Route {
        const char* name;
        std::function<void()> run;
        bool callerBusy; // the caller holds a busy cursor of its own around the download
    } routes[] = {
        {"finddocument", [] { finddocument(QStringLiteral("a.jpg"), false); }, false},
        {"downloaddocument", [&] { downloaddocument(url, target); }, false},
        {"downloadtofile", [&] { downloadtofile(target, url); }, false},
        {"downloadtofile under a caller's busy cursor", [&] { downloadtofile(target, url); }, true},
        {"double-click on the download window",
         [&] {
             form.show();
             QTest::mouseDClick(&form, Qt::LeftButton);
         },
         false},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        messages.clear();
        static const QCursor notShown;
        cursorAtMessage = &notShown;
        {
            std::optional<BusyCursor> caller;
            if (route.callerBusy)
                caller.emplace();
            route.run();
            EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|Feil i nedlasting av: ") + url});
            EXPECT_EQ(cursorAtMessage, nullptr);
            const QCursor* after = QApplication::overrideCursor();
            EXPECT_EQ(after && after->shape() == Qt::WaitCursor, route.callerBusy); // put back as it was
        }
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(WebDocumentTest, HashInAReferenceIsPartOfTheFileNameFetched)
{
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")},
           {"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("w/"))}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))}});
    struct Case {
        QString reference;
        QString expectedPath;
        QByteArray expectedRequest;
    } cases[] = {
        {QStringLiteral("a#1.jpg"), docs() + QStringLiteral("a#1.jpg"), "/base/a%231.jpg"},
        {web(QStringLiteral("blomster/b#2.jpg")), docs() + QStringLiteral("b#2.jpg"), "/blomster/b%232.jpg"},
        {web(QStringLiteral("w/#3.jpg")), path(QStringLiteral("one/#3.jpg")), "/w/%233.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reference.toStdString());
        EXPECT_EQ(finddocument(c.reference, false), c.expectedPath);
        EXPECT_EQ(server.requests().last().split(' ').value(1), c.expectedRequest);
        EXPECT_EQ(Sandbox::readFile(c.expectedPath), "doc:" + c.expectedRequest);
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WebDocumentTest, RelativeReferenceIsAFileNameAndAFullAddressIsSentAsWritten)
{
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")}});
    struct Case {
        QString reference;
        QString expectedPath;
        QByteArray expectedRequest;
    } cases[] = {
        {QStringLiteral("rose?.jpg"), docs() + QStringLiteral("rose?.jpg"), "/base/rose%3F.jpg"},
        {QStringLiteral("50%.jpg"), docs() + QStringLiteral("50%.jpg"), "/base/50%25.jpg"},
        {QStringLiteral("x%41.jpg"), docs() + QStringLiteral("x%41.jpg"), "/base/x%2541.jpg"},
        {QStringLiteral("a b.jpg"), docs() + QStringLiteral("a b.jpg"), "/base/a%20b.jpg"},
        {QString::fromUtf8("sølje.jpg"), docs() + QString::fromUtf8("sølje.jpg"), "/base/s%C3%B8lje.jpg"},
        {QStringLiteral("sub/a+b(1)&c=d.jpg"), docs() + QStringLiteral("sub/a+b(1)&c=d.jpg"), "/base/sub/a+b(1)&c=d.jpg"},
        // A full address may hold a query and escapes of its own; the local name has no query.
        {web(QStringLiteral("pics/show?id=%41 b")), docs() + QStringLiteral("show"), "/pics/show?id=%41%20b"},
    };
    QDir().mkpath(docs() + QStringLiteral("sub"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reference.toStdString());
        EXPECT_EQ(finddocument(c.reference, false), c.expectedPath);
        ASSERT_FALSE(server.requests().isEmpty());
        EXPECT_EQ(server.requests().last().split(' ').value(1), c.expectedRequest);
        EXPECT_EQ(Sandbox::readFile(c.expectedPath), "doc:" + c.expectedRequest);
    }
    EXPECT_EQ(server.requests().size(), qsizetype(std::size(cases)));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WebDocumentTest, ReferenceThatWouldLeaveItsFolderIsNeverFetched)
{
    apply({{"DOC_LOCAL", docs()}, {"DOC_URL", web(QStringLiteral("base/"))}, {"DOC_URL_ACTIVE", QStringLiteral("1")},
           {"DOC_URL_TRANSELATE_0_1", web(QStringLiteral("w/"))}, {"DOC_URL_TRANSELATE_1_1", path(QStringLiteral("one/"))}});
    struct Case {
        QString reference;
        QString expectedPath;
    } cases[] = {
        {QStringLiteral("../../evil.sh"), docs() + QStringLiteral("../../evil.sh")},
        {QStringLiteral("sub/../../evil.sh"), docs() + QStringLiteral("sub/../../evil.sh")},
        {QStringLiteral("..\\evil.sh"), docs() + QStringLiteral("..\\evil.sh")},
        {QStringLiteral("/tmp/evil.sh"), docs() + QStringLiteral("/tmp/evil.sh")},
        {web(QStringLiteral("w/../../evil.sh")), path(QStringLiteral("one/../../evil.sh"))},
        {web(QStringLiteral("w//etc/evil.sh")), path(QStringLiteral("one//etc/evil.sh"))},
        {web(QStringLiteral("x/..")), docs() + QStringLiteral("..")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(finddocument(c.reference, false), c.expectedPath) << c.reference.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QDir(docs()).exists()); // nothing created either
    EXPECT_FALSE(QDir(path(QStringLiteral("one"))).exists());

    // The same names without the climb are fetched.
    EXPECT_EQ(finddocument(QStringLiteral("sub..name.jpg"), false), docs() + QStringLiteral("sub..name.jpg"));
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(WebDocumentTest, MissingFolderIsCreatedWithItsParentsAndLoggedWhenVerbose)
{
    Log& log = Log::instance();
    const bool logging = log.logging, verbose = log.verbose;
    log.logging = true;
    const QString folder = path(QStringLiteral("a/b/c/"));
    const QString message = QStringLiteral("Oppretter mappen :") + folder + QStringLiteral(" (webdocument.downloaddocument)");
    writeinistring(QStringLiteral("DOC_URL"), web(QString())); // the server is the web folder

    log.verbose = false;
    downloaddocument(server.url(QStringLiteral("/1.jpg")), folder + QStringLiteral("1.jpg"));
    EXPECT_EQ(Sandbox::readFile(folder + QStringLiteral("1.jpg")), "doc:/1.jpg");
    EXPECT_FALSE(log.lines().join(u'\n').contains(QStringLiteral("Oppretter mappen")));

    QDir(path(QStringLiteral("a"))).removeRecursively();
    log.verbose = true;
    downloaddocument(server.url(QStringLiteral("/2.jpg")), folder + QStringLiteral("2.jpg"));
    EXPECT_EQ(Sandbox::readFile(folder + QStringLiteral("2.jpg")), "doc:/2.jpg");
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_TRUE(log.lines().last().endsWith(QStringLiteral(" ") + message)) << log.lines().last().toStdString();

    // An existing folder is not logged again; the download runs all the same.
    const qsizetype lines = log.lines().size();
    downloaddocument(server.url(QStringLiteral("/3.jpg")), folder + QStringLiteral("3.jpg"));
    EXPECT_EQ(log.lines().size(), lines);
    EXPECT_EQ(Sandbox::readFile(folder + QStringLiteral("3.jpg")), "doc:/3.jpg");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    log.logging = logging;
    log.verbose = verbose;
}

TEST_F(WebDocumentTest, FolderThatCannotBeCreatedStillRunsTheDownloadWhichFails)
{
    Sandbox::writeFile(path(QStringLiteral("file")), "a file, not a folder");
    writeinistring(QStringLiteral("DOC_URL"), web(QString()));
    downloaddocument(server.url(QStringLiteral("/a.jpg")), path(QStringLiteral("file/sub/a.jpg")));
    EXPECT_EQ(messages, QStringList{failureText(QStringLiteral("/a.jpg"))});
    EXPECT_EQ(cursorAtMessage, nullptr);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(WebDocumentTest, SetupDialogsFoldersAreUsedOnceItHasClosed)
{
    const QString oldDocs = path(QStringLiteral("old/"));
    const QString newDocs = path(QStringLiteral("new/"));
    writeinistring(QStringLiteral("DOC_LOCAL"), oldDocs);
    writeinistring(QStringLiteral("DOC_URL"), server.url(QStringLiteral("/old/")));
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), true);

    TWebfolderForm dialog;
    dialog.show();
    dialog.findChild<QLineEdit*>(QStringLiteral("docfolder"))->setText(newDocs);
    dialog.findChild<QLineEdit*>(QStringLiteral("DocumentURL"))->setText(server.url(QStringLiteral("/new/")));
    // While the dialog is open, the settings as last stored still hold.
    EXPECT_EQ(finddocument(QStringLiteral("a.jpg"), false), oldDocs + QStringLiteral("a.jpg"));
    EXPECT_EQ(Sandbox::readFile(oldDocs + QStringLiteral("a.jpg")), "doc:/old/a.jpg");

    dialog.close();
    EXPECT_EQ(finddocument(QStringLiteral("a.jpg"), false), newDocs + QStringLiteral("a.jpg"));
    EXPECT_EQ(Sandbox::readFile(newDocs + QStringLiteral("a.jpg")), "doc:/new/a.jpg");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WebDocumentTest, DownloaddocumentHandsBackWhatTheDownloadCameTo)
{
    Log& log = Log::instance();
    const bool logging = log.logging;
    log.logging = true;
    writeinistring(QStringLiteral("DOC_URL"), web(QString()));
    server.setHandler([](const QByteArray& head) {
        return head.contains("missing") ? HttpAnswer::withLength(404, "Not Found", "no")
                                        : HttpAnswer::withLength(200, "OK", "doc");
    });
    const QString notAWebFolder = QStringLiteral("http://127.0.0.1:1/a.jpg");
    struct Case {
        const char* name;
        QString url;
        DownloadResult::Outcome outcome;
        QString message; // what the user saw, or the log's last line ends with
    } cases[] = {
        {"received", server.url(QStringLiteral("/a.jpg")), DownloadResult::Outcome::Received, {}},
        {"failed", server.url(QStringLiteral("/missing.jpg")), DownloadResult::Outcome::Failed,
         QStringLiteral("Feil i nedlasting av: ") + server.url(QStringLiteral("/missing.jpg"))},
        {"refused", notAWebFolder, DownloadResult::Outcome::Refused, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        const DownloadResult result = downloaddocument(c.url, path(QStringLiteral("%1.jpg").arg(QLatin1String(c.name))));
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.received(), c.outcome == DownloadResult::Outcome::Received);
        if (c.outcome == DownloadResult::Outcome::Failed)
            EXPECT_EQ(messages, QStringList{QStringLiteral("FEIL|") + result.message});
        else
            EXPECT_TRUE(messages.isEmpty());
        if (c.outcome == DownloadResult::Outcome::Refused) {
            ASSERT_FALSE(log.lines().isEmpty());
            EXPECT_TRUE(result.message.contains(c.url)) << result.message.toStdString();
            EXPECT_TRUE(log.lines().last().endsWith(result.message)) << log.lines().last().toStdString();
        } else {
            EXPECT_EQ(result.message, c.message);
        }
    }
    EXPECT_EQ(fetched(), (QStringList{QStringLiteral("/a.jpg"), QStringLiteral("/missing.jpg")}));
    log.logging = logging;
}
