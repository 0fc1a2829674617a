#include "common/hs_reg.h"
#include "common/windowplacement.h"
#include "pricelist/prisliste.h"
#include "tests/support/fakeplatform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"
#include "webdocs/webfoldersetup.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WebmapperMenu : public ::testing::Test {
protected:
    WebmapperMenu()
    {
        WindowPlacement::instance().reset();
        testdb::pointProgramAtServer(); // the window opens the product table
        SettingsStore& store = SettingsStore::instance();
        store.reset();
        store.settingsFolder = sandbox.workFolder() + QLatin1Char('/');
        store.settingsFilePath = store.settingsFolder + QStringLiteral("kvarnelo.ini");
        openini(store.settingsFilePath);
    }
    ~WebmapperMenu() override
    {
        SettingsStore::instance().reset();
        WindowPlacement::instance().reset();
    }

    Sandbox sandbox;
    ScopedPlatform platform;
};

} // namespace

TEST_F(WebmapperMenu, ShowsTheSetupDialogBesideTheListWithoutWaiting)
{
    TPrislisteForm window;
    window.Webmapper1->trigger(); // no dialog made yet: nothing happens

    TWebfolderForm dialog(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.move(200, 30);
    window.Webmapper1->trigger();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Centred, to the pixel that halving odd sizes leaves.
    EXPECT_LE((dialog.frameGeometry().center() - window.frameGeometry().center()).manhattanLength(), 2);

    // Chosen again while open: the same dialog, with what was typed in it.
    auto* url = dialog.findChild<QLineEdit*>(QStringLiteral("DocumentURL"));
    url->setText(QStringLiteral("http://typed/"));
    window.Webmapper1->trigger();
    EXPECT_EQ(url->text(), QStringLiteral("http://typed/"));

    window.close(); // the program ends with the dialog open
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(readinistring(QStringLiteral("DOC_URL")), QStringLiteral("http://typed/"));
}
