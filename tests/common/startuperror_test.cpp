#include "common/errors.h"
#include "common/messages.h"
#include "common/startuperror.h"
#include "tests/support/qstringprint.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {
struct UnreachableWindow : QWidget {
    UnreachableWindow()
    {
        throw Error(QStringLiteral("Can't connect to MySQL server on 'db' (10061)\nConnection timed out"),
                    QStringLiteral("EMySQLError"));
    }
};
}

TEST(StartupError, TextNamesClassModuleAddressAndEndsTheMessageWithAStop)
{
    const void* address = reinterpret_cast<const void*>(quintptr(0x45A2B3));
    const QString zeros(int(sizeof(void*) * 2) - 6, QLatin1Char('0'));
    struct Case { QString message; QString className; QString shown; };
    const Case cases[] = {
        {"Table 'brisvald.product' doesn't exist", "EMySQLError", "Table 'brisvald.product' doesn't exist."},
        {"Field 'id' not found.", "EDatabaseError", "Field 'id' not found."},
        {"Connection refused (111)", "Exception", "Connection refused (111)."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startupErrorText(Error(c.message, c.className), QStringLiteral("prisliste.exe"), address),
                  QStringLiteral("Exception ") + c.className + QStringLiteral(" in module prisliste.exe at ") + zeros
                      + QStringLiteral("45A2B3.\n") + c.shown + QLatin1Char('\n'));
    EXPECT_TRUE(startupErrorText(std::runtime_error("disk"), QStringLiteral("p"), address)
                    .startsWith(QStringLiteral("Exception Exception in module p at ")));
}

TEST(StartupError, MainWindowThatThrowsShowsTheApplicationErrorBoxAndGivesNothing)
{
    QList<MessageRequest> shown;
    setMessageHandler([&](const MessageRequest& r) { shown << r; return MessageAnswer::Ok; });
    const auto window = createMainWindow<UnreachableWindow>();
    setMessageHandler({});
    EXPECT_EQ(window, nullptr);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Application Error"));
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(shown[0].text.startsWith(QStringLiteral("Exception EMySQLError in module ")));
    EXPECT_TRUE(shown[0].text.endsWith(
        QStringLiteral(".\nCan't connect to MySQL server on 'db' (10061)\nConnection timed out.\n")));
    EXPECT_NE(createMainWindow<QWidget>(), nullptr);
}
