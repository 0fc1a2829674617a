#include "common/hs_reg.h"
#include "common/windowplacement.h"
#include "pricelist/prisliste.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MainWindowPlacement : public ::testing::Test {
protected:
    MainWindowPlacement()
    {
        WindowPlacement::instance().reset();
        WindowPlacement::instance().setDesktopSize([] { return QSize(1920, 1080); });
        folder = sandbox.workFolder() + QLatin1Char('/');
        testdb::pointProgramAtServer(); // the window opens the product table
    }
    ~MainWindowPlacement() override
    {
        SettingsStore::instance().reset();
        WindowPlacement::instance().reset();
    }

    // As at start-up: the settings file in the working folder, opened.
    void startRun()
    {
        SettingsStore& store = SettingsStore::instance();
        store.reset();
        store.settingsFilePath = folder + QStringLiteral("kvarnelo.ini");
        store.settingsFolder = folder;
        openini(store.settingsFilePath);
    }

    Sandbox sandbox;
    ScopedPlatform platform;
    QString folder;
};

} // namespace

TEST_F(MainWindowPlacement, ComesBackWhereItWasLeftInTheNextRun)
{
    startRun();
    {
        TPrislisteForm first;
        first.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        first.move(140, 90);
        first.close();
    }
    IniDocument user;
    user.load(folder + QStringLiteral("kari.INI"));
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisListeForm"), QStringLiteral("Left")), QStringLiteral("140"));
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisListeForm"), QStringLiteral("Top")), QStringLiteral("90"));

    startRun();
    TPrislisteForm again;
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.frameGeometry().topLeft(), QPoint(140, 90));
    // Its own size: only the position is restored. The client area is 459 x 460 below the menu bar.
    EXPECT_EQ(again.centralWidget()->geometry(), QRect(0, again.menuBar()->height(), 459, 460));
    EXPECT_EQ(WindowPlacement::instance().lastPlaced, outerRect(&again));
}
