#include "common/hs_reg.h"
#include "common/windowplacement.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PlacementTest : public ::testing::Test {
protected:
    PlacementTest()
    {
        SettingsStore::instance().reset();
        WindowPlacement::instance().reset();
        WindowPlacement::instance().setDesktopSize([] { return QSize(1920, 1080); });
        folder = sandbox.workFolder() + QLatin1Char('/');
        iniPath = folder + QStringLiteral("kvarnelo.ini");
        userPath = folder + QStringLiteral("kari.INI");
    }
    ~PlacementTest() override
    {
        SettingsStore::instance().reset();
        WindowPlacement::instance().reset();
    }

    void openSettings(const QString& userOverride = QString())
    {
        SettingsStore& store = SettingsStore::instance();
        store.reset();
        store.settingsFilePath = iniPath;
        store.settingsFolder = folder;
        store.userOverride = userOverride;
        openini(iniPath);
    }

    // A shown top-level window whose outer size, frame included, is outer.
    static std::unique_ptr<QWidget> window(QSize outer)
    {
        auto w = std::make_unique<QWidget>();
        w->resize(outer);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->resize(outer - (w->frameGeometry().size() - w->size()));
        return w;
    }

    static IniDocument fileOnDisk(const QString& path)
    {
        IniDocument doc;
        doc.load(path);
        return doc;
    }

    Sandbox sandbox;
    ScopedPlatform platform;
    QString folder;
    QString iniPath;
    QString userPath;
};

// The offscreen platform nudges a window whose frame would start left of or above the
// screen by its frame margin (2 pixels); a real desktop keeps the value.
constexpr int offscreenNudge = 2;

} // namespace

TEST_F(PlacementTest, RestoresTheStoredPlacementKeptOnTheDesktop)
{
    struct Case {
        const char* stored; // lines of the window's section
        const char* mode;
        QRect expected;     // outer: left, top, width, height
        bool maximized;
    };
    const Case cases[] = {
        {"", "OnlyPos", {0, 0, 800, 600}, false},
        {"Left=5000\nTop=100", "OnlyPos", {1120, 100, 800, 600}, false},
        {"Left=1920\nTop=1080", "OnlyPos", {1920, 1080, 800, 600}, false},
        {"Left=1921\nTop=1081", "OnlyPos", {1120, 480, 800, 600}, false},
        {"Left=-50\nTop=-30", "OnlyPos", {-50, -30, 800, 600}, false},
        {"Left=10\nTop=20\nWidth=1000\nHeight=700", "OnlyPos", {10, 20, 800, 600}, false},
        {"Left=10\nTop=20\nWidth=1000\nHeight=700", "", {10, 20, 1000, 700}, false},
        {"Left=10\nTop=20\nWidth=1000\nHeight=700", "onlypos", {10, 20, 1000, 700}, false},
        {"Left=5000\nTop=20\nWidth=1000\nHeight=700", "", {1120, 20, 1000, 700}, false},
        {"Left=10\nTop=20\nWidth=0\nHeight=-5", "", {10, 20, 800, 600}, false},
        {"Left=10\nTop=20\nMaximized=1", "OnlyPos", {}, true},
        {"Left=10\nTop=20\nMaximized=0", "OnlyPos", {10, 20, 800, 600}, false},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.stored) + " / " + c.mode;
        Sandbox::writeFile(userPath, QByteArray("[VINDU-Test]\n") + c.stored + "\nDiverse=ekstra\n");
        openSettings();
        const auto w = window({800, 600});

        QString mode = QString::fromLatin1(c.mode);
        loadwindowpos(w.get(), QStringLiteral("Test"), mode);

        EXPECT_EQ(w->isMaximized(), c.maximized) << what;
        EXPECT_EQ(mode, QStringLiteral("ekstra")) << what;
        if (c.maximized)
            continue;
        const QRect outer = w->frameGeometry();
        EXPECT_EQ(outer.size(), c.expected.size()) << what;
        if (c.expected.left() < 0 || c.expected.top() < 0) {
            EXPECT_NEAR(outer.left(), c.expected.left(), offscreenNudge) << what;
            EXPECT_NEAR(outer.top(), c.expected.top(), offscreenNudge) << what;
        } else {
            EXPECT_EQ(outer.topLeft(), c.expected.topLeft()) << what;
        }
    }
}

TEST_F(PlacementTest, AWindowWithoutStoredPlacementGoesToTheCornerAndCreatesTheUserFile)
{
    openSettings();
    setsection(QStringLiteral("FIRMA_SQL"));
    const auto w = window({640, 480});
    w->move(300, 200);

    QString mode = QStringLiteral("OnlyPos");
    loadwindowpos(w.get(), QStringLiteral("PrisDataForm"), mode);

    EXPECT_EQ(w->frameGeometry(), QRect(0, 0, 640, 480));
    EXPECT_FALSE(w->isMaximized());
    EXPECT_EQ(mode, QString());
    // Reads add nothing: the new file holds only its stamps.
    EXPECT_EQ(fileOnDisk(userPath).sectionNames(), QStringList{"INI_SELF"});
    EXPECT_TRUE(QFileInfo::exists(iniPath));
    EXPECT_EQ(SettingsStore::instance().documentPath, iniPath);
    EXPECT_EQ(SettingsStore::instance().currentSection, QStringLiteral("FIRMA_SQL"));
}

TEST_F(PlacementTest, SaveWritesTheWindowsSectionAndBothFiles)
{
    openSettings();
    setsection(QStringLiteral("FIRMA_SQL"));
    writeinistring(QStringLiteral("Servername"), QStringLiteral("db.brisvald.local"));
    const auto w = window({500, 400});
    w->move(120, 80);

    savewindowpos(w.get(), QStringLiteral("PrisListeForm"), QStringLiteral("kolonner=3"));

    const IniDocument user = fileOnDisk(userPath);
    EXPECT_EQ(user.sectionNames(), (QStringList{"INI_SELF", "VINDU-PrisListeForm"}));
    EXPECT_EQ(user.keys(QStringLiteral("VINDU-PrisListeForm")),
              (QStringList{"Maximized", "Left", "Top", "Height", "Width", "Diverse"}));
    QStringList values;
    for (const QString& key : user.keys(QStringLiteral("VINDU-PrisListeForm")))
        values << user.value(QStringLiteral("VINDU-PrisListeForm"), key);
    EXPECT_EQ(values, (QStringList{"0", "120", "80", "400", "500", "kolonner=3"}));
    // The change made in the settings file before the save reached its file.
    EXPECT_EQ(fileOnDisk(iniPath).value(QStringLiteral("FIRMA_SQL"), QStringLiteral("Servername")),
              QStringLiteral("db.brisvald.local"));
    EXPECT_FALSE(fileOnDisk(iniPath).sectionNames().contains(QStringLiteral("VINDU-PrisListeForm")));

    SettingsStore& store = SettingsStore::instance();
    EXPECT_EQ(store.documentPath, iniPath);
    EXPECT_EQ(store.currentSection, QStringLiteral("FIRMA_SQL"));
    EXPECT_EQ(readinistring(QStringLiteral("Servername")), QStringLiteral("db.brisvald.local"));
}

TEST_F(PlacementTest, AWindowComesBackWhereItWasLeft)
{
    openSettings();
    {
        const auto first = window({700, 500});
        first->move(250, 150);
        savewindowpos(first.get(), QStringLiteral("PrisDataForm"), QString());
    }
    openSettings(); // as in a new run
    const auto again = window({300, 200});
    QString mode;
    loadwindowpos(again.get(), QStringLiteral("PrisDataForm"), mode);
    EXPECT_EQ(again->frameGeometry(), QRect(250, 150, 700, 500));
}

TEST_F(PlacementTest, ClosingADialogMakesTheMainWindowTheLastPlacedAgain)
{
    openSettings();
    WindowPlacement& placement = WindowPlacement::instance();
    EXPECT_EQ(placement.lastPlaced, WindowRect{});

    Sandbox::writeFile(userPath, "[VINDU-PrisListeForm]\nLeft=40\nTop=30\n\n"
                                 "[VINDU-PrisDataForm]\nLeft=500\nTop=300\n");
    openSettings();
    const auto main = window({459, 460});
    const auto dialog = window({610, 420});
    QString mode = QStringLiteral("OnlyPos");

    loadwindowpos(main.get(), QStringLiteral("PrisListeForm"), mode);
    const WindowRect mainAsPlaced{40, 459, 460, 30};
    EXPECT_EQ(placement.lastPlaced, mainAsPlaced);
    main->move(700, 700); // moved by the user afterwards: not the centre

    mode = QStringLiteral("OnlyPos");
    loadwindowpos(dialog.get(), QStringLiteral("PrisDataForm"), mode);
    EXPECT_EQ(placement.lastPlaced, (WindowRect{500, 610, 420, 300}));
    EXPECT_EQ(placement.previous, mainAsPlaced);

    savewindowpos(dialog.get(), QStringLiteral("PrisDataForm"), QString());
    EXPECT_EQ(placement.lastPlaced, mainAsPlaced);
}

TEST_F(PlacementTest, AUserNameNeverLeadsOutsideTheSettingsFolder)
{
    const QStringList names = {"../x", "a/b", "..", "../../etc/passwd", "a\\b", "c:d", "per?*<>|\"", "Kari Nordmann"};
    QSet<QString> files;
    for (const QString& name : names) {
        openSettings(name);
        const auto w = window({300, 200});
        w->move(11, 22);
        savewindowpos(w.get(), QStringLiteral("Test"), QString());
        const QString file = userinipath();
        EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(folder).absolutePath()) << name.toStdString();
        EXPECT_TRUE(QFileInfo(file).isFile()) << name.toStdString();
        files << file;

        // The same name finds the same file again.
        openSettings(name);
        EXPECT_EQ(userinipath(), file);
        const auto again = window({300, 200});
        QString mode;
        loadwindowpos(again.get(), QStringLiteral("Test"), mode);
        EXPECT_EQ(again->frameGeometry().topLeft(), QPoint(11, 22)) << name.toStdString();
    }

    // Nothing was written anywhere but the settings folder.
    QDirIterator it(sandbox.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(folder).absolutePath()) << path.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), files.size() + 1);
}
