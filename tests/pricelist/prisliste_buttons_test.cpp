// The price list window's four buttons and the double click in the list: they start new,
// delete and edit actions in the detail dialog, and open the shop's home page.
#include "common/Felles.h"
#include "tests/pricelist/detailfixture.h"
#include "tests/support/questions.h"

#include <QUrl>

namespace {

class PriceListButtons : public DetailFixture {
protected:
    ~PriceListButtons() override { setUrlOpener({}); }
    void showList()
    {
        list->show();
        QApplication::setActiveWindow(list.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    }
    void doubleClickRow(int row)
    {
        DBGrid* grid = list->DBGrid1;
        const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        // A real double click: the first press moves to the row, then the double click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(PriceListButtons, FourFlatButtonsThatNeverTakeTheFocus)
{
    createWindows();
    struct Button { QToolButton* button; const char* name; const char* caption; QRect geometry; } buttons[] = {
        {list->NewButton, "NewButton", "Ny", {24, 8, 65, 51}},
        {list->DelButton, "DelButton", "Slett", {86, 8, 59, 51}},
        {list->SpeedButton1, "SpeedButton1", "Rediger", {151, 8, 59, 51}},
        {list->SpeedButton2, "SpeedButton2", "Hjemmesiden på nett", {312, 8, 114, 51}},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.button->parentWidget(), list->centralWidget());
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.button->geometry(), b.geometry);
        EXPECT_EQ(b.button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(b.button->icon().isNull());
        EXPECT_EQ(b.button->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(b.button->autoRaise());
        EXPECT_TRUE(b.button->isEnabled());
        EXPECT_EQ(b.button->font().pixelSize(), 11);
        EXPECT_LE(b.button->fontMetrics().horizontalAdvance(b.button->text()), b.geometry.width()); // not cut short
    }
    // Clicking them leaves the focus in the list.
    showList();
    list->DBGrid1->setFocus();
    QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
    list->activateWindow();
    EXPECT_EQ(list->focusWidget(), list->DBGrid1);
}

TEST_F(PriceListButtons, NyInsertsAndOpensTheDialogOnTheNewRecord)
{
    createWindows();
    showList();
    const int before = table().recordCount();
    QTest::mouseClick(list->NewButton, Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(table().state(), DataSetState::Insert);
    EXPECT_EQ(table().recordCount(), before + 1);
    EXPECT_TRUE(dialog->SaveButton->isEnabled());
    EXPECT_TRUE(dialog->CancelButton->isEnabled());
    EXPECT_FALSE(dialog->NewButton->isEnabled());
    EXPECT_FALSE(dialog->DelButton->isEnabled());
    EXPECT_EQ(dialog->DBEdit1->text(), QString());
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("0"));
    QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
    EXPECT_EQ(table().recordCount(), before);
}

TEST_F(PriceListButtons, SlettAsksAndDeletesOnlyOnJa)
{
    createWindows();
    showList();
    goTo(41);
    auto nei = answerNextQuestion(QuestionReply::ClickNei);
    QTest::mouseClick(list->DelButton, Qt::LeftButton);
    EXPECT_EQ(nei->text, QStringLiteral("Vil du slette posten Roser?"));
    EXPECT_EQ(table().recordCount(), 4);
    EXPECT_EQ(stored(QStringLiteral("producttext"), 41), QStringLiteral("Roser"));
    EXPECT_TRUE(messages.empty()); // refused silently

    auto ja = answerNextQuestion(QuestionReply::ClickJa);
    QTest::mouseClick(list->DelButton, Qt::LeftButton);
    EXPECT_TRUE(ja->asked);
    EXPECT_EQ(table().recordCount(), 3);
    EXPECT_EQ(stored(QStringLiteral("producttext"), 41), QStringLiteral("<no row>"));
}

TEST_F(PriceListButtons, RedigerAndDoubleClickShowTheDialogOrBringItForward)
{
    createWindows();
    showList();
    QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(dialog->DBEdit1->text(), QStringLiteral("Liljer"));

    // Behind the list now; a double click on another product brings it forward, already
    // showing that product.
    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    doubleClickRow(rowOf(42));
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->DBEdit1->text(), QStringLiteral("Tulipaner"));

    // Closed, a double click shows it again.
    dialog->close();
    QApplication::setActiveWindow(list.get());
    doubleClickRow(rowOf(41));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->DBEdit1->text(), QStringLiteral("Roser"));
}

TEST_F(PriceListButtons, WithoutTheDialogTheButtonsOnlyActOnTheTable)
{
    list = std::make_unique<TPrislisteForm>(); // no dialog (yet)
    showList();
    QTest::mouseClick(list->NewButton, Qt::LeftButton);
    EXPECT_EQ(table().state(), DataSetState::Insert);
    QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
    doubleClickRow(0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PriceListButtons, HomePageOpensTheShopsWebSiteRoot)
{
    qputenv("PRISLISTE_HOME_PAGE", "http://butikken.test/");
    createWindows();
    QList<QUrl> opened;
    setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    QTest::mouseClick(list->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("http://butikken.test/"))});
}

} // namespace
