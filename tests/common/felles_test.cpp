#include "common/Felles.h"
#include "common/messages.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <gtest/gtest.h>

TEST(StripSlashes, KeepsTheTextAfterTheLastSlash)
{
    struct Case { const char* text; const char* result; };
    const Case cases[] = {
        {"http://www.brisvald.no/bilder/rose.jpg", "rose.jpg"},
        {"http://www.brisvald.no/bilder/", ""},
        {"/", ""},
        {"rose.jpg", "rose.jpg"},
        {"C:\\Kvarnelo\\data\\docs\\rose.jpg", "C:\\Kvarnelo\\data\\docs\\rose.jpg"},
        {"bilder\\2020/rose\\liten.jpg", "rose\\liten.jpg"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stripslashes(QString::fromUtf8(c.text)), QString::fromUtf8(c.result)) << c.text;
}

class ShellOpen : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUrlOpener([this](const QUrl& url) {
            opened << url;
            busy << (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            return succeed;
        });
        setMessageHandler([this](const MessageRequest& request) {
            shown << request.text;
            return MessageAnswer::Ok;
        });
    }
    void TearDown() override
    {
        setUrlOpener({});
        setMessageHandler({});
    }
    QList<QUrl> opened;
    QList<bool> busy;
    QStringList shown;
    bool succeed = true;
};

TEST_F(ShellOpen, HandsWebAddressesAndFilesToTheDesktopUnderTheBusyCursor)
{
    Sandbox sandbox;
    shellopen(QStringLiteral("http://www.brisvald.no/"), QString(), QString());
    shellopen(QStringLiteral("https://www.brisvald.no/nettbutikk?vare=12&x=%C3%A5"), QString(), QString());
    shellopen(QStringLiteral("mailto:post@brisvald.no"), QString(), QString());
    shellopen(QStringLiteral("/tmp/prisliste.txt"), QString(), QStringLiteral("/var"));
    shellopen(QStringLiteral("rose.jpg"), QString(), sandbox.root());
    shellopen(QStringLiteral("rose.jpg"), QString(), QString());

    ASSERT_EQ(opened.size(), 6);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("http://www.brisvald.no/")));
    EXPECT_EQ(opened[1].toString(QUrl::FullyEncoded), QStringLiteral("https://www.brisvald.no/nettbutikk?vare=12&x=%C3%A5"));
    EXPECT_EQ(opened[2].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(opened[3], QUrl::fromLocalFile(QStringLiteral("/tmp/prisliste.txt")));
    EXPECT_EQ(opened[4], QUrl::fromLocalFile(sandbox.root() + QStringLiteral("/rose.jpg")));
    EXPECT_EQ(opened[5], QUrl::fromLocalFile(QStringLiteral("rose.jpg")));
    EXPECT_EQ(busy, QList<bool>(6, true));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ShellOpen, AFailureShowsNothing)
{
    succeed = false;
    shellopen(QStringLiteral("ukjent://ingen/steder"), QString(), QString());
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
