// The price list window's four buttons and the double click in the list: they start new,
// delete and edit actions in the detail dialog, and open the shop's home page.
#include "common/Felles.h"
#include "common/quitsignal.h"
#include "common/textfil.h"
#include "tests/pricelist/detailfixture.h"
#include "tests/support/questions.h"

#include <QUrl>
#include <csignal>
#include <optional>

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
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    auto* CancelButton = control<QToolButton>(*dialog, "CancelButton");
    auto* NewButton = control<QToolButton>(*dialog, "NewButton");
    auto* DelButton = control<QToolButton>(*dialog, "DelButton");
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    showList();
    const int before = table().recordCount();
    QTest::mouseClick(list->NewButton, Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(table().state(), DataSetState::Insert);
    EXPECT_EQ(table().recordCount(), before + 1);
    EXPECT_TRUE(SaveButton->isEnabled());
    EXPECT_TRUE(CancelButton->isEnabled());
    EXPECT_FALSE(NewButton->isEnabled());
    EXPECT_FALSE(DelButton->isEnabled());
    EXPECT_EQ(DBEdit1->text(), QString());
    EXPECT_EQ(Edit1->text(), QStringLiteral("0"));
    QTest::mouseClick(CancelButton, Qt::LeftButton);
    EXPECT_EQ(table().recordCount(), before);
}

// "Ny" from a product with a price, then only a text: the new product is saved without one.
TEST_F(PriceListButtons, NyThenATextAloneSavesNoPrice)
{
    createWindows();
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showList();
    goTo(41); // price 100
    QTest::mouseClick(list->NewButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(QApplication::focusWidget(), DBEdit1); // a new product starts with its text
    EXPECT_TRUE(table().MyTableprice->isNull());
    QTest::keyClicks(QApplication::focusWidget(), "Nelliker");
    const qsizetype statements = sent().size();
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    const QStringList insert = sent().mid(statements);
    ASSERT_EQ(insert.size(), 1);
    EXPECT_TRUE(insert[0].contains(QLatin1String("'Nelliker'"))) << insert[0].toStdString();
    EXPECT_FALSE(insert[0].contains(QLatin1String("price"))) << insert[0].toStdString();
    EXPECT_TRUE(messages.empty());
}

// After "Lagre" the focus stays in "Utpris"; a double click on the next product brings
// the dialog forward with the focus there, and typing a price saves it.
TEST_F(PriceListButtons, TypingIntoTheOutPriceBoxOfADialogBroughtForwardSavesIt)
{
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showList();
    QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QTest::mouseClick(Edit1, Qt::LeftButton);
    QTest::keyClick(Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Edit1, "150");
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("price"), 43), QStringLiteral("120"));

    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    doubleClickRow(rowOf(42));
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    ASSERT_EQ(QApplication::focusWidget(), Edit1);
    EXPECT_EQ(Edit1->text(), QStringLiteral("25"));
    const qsizetype statements = sent().size();
    for (char key : {'2', '0'})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_EQ(Edit1->text(), QStringLiteral("20"));
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(sent().mid(statements),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 16\r\nWHERE\r\n  id = 42")});
    EXPECT_TRUE(messages.empty());
}

// Closing the main window with a pending edit asks first: "Ja" saves it, "Nei" drops it,
// a failed save keeps the program open with the edit pending.
TEST_F(PriceListButtons, ClosingWithAPendingEditAsksWhetherToSaveIt)
{
    const auto typeInto = [this](QWidget* control, const char* keys) {
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control, keys);
    };
    // The dialog is made anew for each case.
    const auto inDialog = [this](const char* name) { return control<QWidget>(*dialog, name); };
    struct Case {
        const char* what;
        std::function<void()> edit;
        std::optional<QuestionReply> reply; // none: no question
        const char* question;
        bool closes;
        const char* statement; // sent on closing
    } cases[] = {
        {"no edit", [] {}, std::nullopt, nullptr, true, nullptr},
        {"an edit without changes", [this] { table().edit(); }, std::nullopt, nullptr, true, nullptr},
        {"a new price, Ja", [&] { typeInto(inDialog("Edit1"), "50"); }, QuestionReply::Enter,
         "Vil du lagre endringene i Tulipaner?", true, "Query UPDATE product\r\nSET\r\n  price = 40\r\nWHERE\r\n  id = 42"},
        {"a new price, Nei", [&] { typeInto(inDialog("Edit1"), "50"); }, QuestionReply::ClickNei,
         "Vil du lagre endringene i Tulipaner?", true, nullptr},
        {"a text still in its box, Ja", [&] { typeInto(inDialog("DBEdit1"), "Tulipan"); }, QuestionReply::ClickJa,
         "Vil du lagre endringene i Tulipan?", true,
         "Query UPDATE product\r\nSET\r\n  producttext = 'Tulipan'\r\nWHERE\r\n  id = 42"},
        {"a new product, Ja", [&] { dialog->show(); QTest::mouseClick(inDialog("NewButton"), Qt::LeftButton); typeInto(inDialog("DBEdit1"), "Iris"); },
         QuestionReply::ClickJa, "Vil du lagre endringene i Iris?", true, nullptr},
        {"deleted on the server meanwhile, Ja", [&] { typeInto(inDialog("Edit1"), "50"); admin.exec(QStringLiteral("DELETE FROM product WHERE id = 42")); },
         QuestionReply::ClickJa, "Vil du lagre endringene i Tulipaner?", false,
         "Query UPDATE product\r\nSET\r\n  price = 40\r\nWHERE\r\n  id = 42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Each case from the same products: Tulipaner at 20, nothing added.
        admin.exec(QStringLiteral("DELETE FROM product WHERE id NOT IN (41, 43, 44)"));
        admin.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web, sale) VALUES (42, 'Tulipaner', 20, 0, 0)"));
        createWindows();
        showList();
        goTo(42);
        dialog->show();
        c.edit();
        messages.clear();
        const qsizetype statements = sent().size();
        std::shared_ptr<AskedQuestion> asked;
        if (c.reply)
            asked = answerNextQuestion(*c.reply);
        EXPECT_EQ(list->close(), c.closes);
        EXPECT_EQ(list->isVisible(), !c.closes);
        if (asked) {
            EXPECT_TRUE(asked->asked);
            EXPECT_EQ(asked->text, QString::fromUtf8(c.question));
            EXPECT_EQ(asked->focused, QStringLiteral("JaKnapp")); // "Ja" is the default
        }
        QStringList expected;
        if (c.statement)
            expected << QString::fromUtf8(c.statement);
        if (QString::fromUtf8(c.what).startsWith(QLatin1String("a new product"))) {
            ASSERT_EQ(sent().mid(statements).size(), 1);
            EXPECT_TRUE(sent().mid(statements)[0].startsWith(QLatin1String("Query INSERT INTO product")));
        } else {
            EXPECT_EQ(sent().mid(statements), expected);
        }
        if (c.closes) {
            EXPECT_TRUE(messages.empty());
        } else {
            EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("MyTable: Update failed. Found 0 records.")});
            EXPECT_EQ(table().state(), DataSetState::Edit);
            EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), 40);
        }
        dialog.reset();
        list.reset();
    }
}

// Asked to end by the system (SIGTERM, Ctrl-C), perhaps with nobody there to answer, the
// program puts no question and ends.
TEST_F(PriceListButtons, EndedByTheSystemItClosesWithoutAQuestion)
{
    createWindows();
    closeOnQuitSignal(list.get());
    showList();
    goTo(42);
    table().edit();
    table().MyTableprice->setAsFloat(40);
    Log& log = Log::instance();
    const bool wasLogging = log.logging;
    log.logging = true;
    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }, 5000));
    EXPECT_TRUE(quitRequested());
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ::signal(s, SIG_DFL);
    log.logging = wasLogging;
    EXPECT_EQ(sent().filter(QStringLiteral("UPDATE")), QStringList());
    // Not without a word: the log tells what was dropped.
    EXPECT_EQ(log.lines().filter(QStringLiteral("ADVARSEL: Endringene i Tulipaner ble ikke lagret")).size(), 1);
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
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    showList();
    QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Liljer"));

    // Behind the list now; a double click on another product brings it forward, already
    // showing that product.
    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    doubleClickRow(rowOf(42));
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Tulipaner"));

    // Closed, a double click shows it again.
    dialog->close();
    QApplication::setActiveWindow(list.get());
    doubleClickRow(rowOf(41));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Roser"));
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

// Each price list window keeps the dialog made for it in step, and tells a dialog that is
// gone nothing more.
TEST_F(PriceListButtons, EachListKeepsItsOwnDialogInStepUntilTheDialogGoes)
{
    createWindows();
    TPrislisteForm otherList;
    auto otherDialog = std::make_unique<TPrisDataForm>(otherList);
    ProductTable& other = otherList.MyTable;
    goTo(41); // Roser, 100
    for (int row = 0; row < other.recordCount(); ++row)
        if (other.MyTableid->valueAt(row).toInt() == 42)
            other.moveTo(row); // Tulipaner, 20
    ASSERT_EQ(other.MyTableid->asInteger(), 42);
    other.edit();
    const auto shows = [](TPrisDataForm& d) {
        return control<QLineEdit>(d, "Edit1")->text() + QLatin1Char(' ')
               + (control<QToolButton>(d, "SaveButton")->isEnabled() ? QLatin1String("Lagre") : QLatin1String("-"));
    };
    EXPECT_EQ(shows(*dialog), QStringLiteral("125 -"));
    EXPECT_EQ(shows(*otherDialog), QStringLiteral("25 Lagre"));

    otherDialog.reset();
    other.cancel();
    QTest::mouseClick(otherList.NewButton, Qt::LeftButton);
    QTest::mouseClick(otherList.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(other.state(), DataSetState::Insert);
    EXPECT_EQ(shows(*dialog), QStringLiteral("125 -"));
    EXPECT_FALSE(dialog->isVisible());
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
