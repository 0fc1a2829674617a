// The product detail dialog: its controls, the buttons the price list window enables, the
// out-price box, and closing it in the middle of an edit.
#include "dbcontrols/dbcheckbox.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbmemo.h"
#include "dbcontrols/dbtext.h"
#include "tests/pricelist/detailfixture.h"
#include "tests/support/questions.h"

#include <QClipboard>
#include <QFrame>
#include <QLabel>

namespace {

class DetailDialog : public DetailFixture {
protected:
    // "Lagre", "Avbryt", "Ny", "Slett": 1 enabled, 0 disabled.
    QString actionButtons() const
    {
        QString s;
        for (const char* name : {"SaveButton", "CancelButton", "NewButton", "DelButton"})
            s += control<QToolButton>(*dialog, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // As a user types: one key at a time.
    static void typeKeyByKey(QWidget* widget, const char* keys)
    {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(widget, *k);
    }
};

TEST_F(DetailDialog, ControlsStandWhereTheyBelongWithTheirFieldsAndFonts)
{
    createWindows();
    auto* MenuPanel = control<QFrame>(*dialog, "MenuPanel");
    auto* Label1 = control<QLabel>(*dialog, "Label1");
    auto* Label2 = control<QLabel>(*dialog, "Label2");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* DBCheckBox2 = control<DBCheckBox>(*dialog, "DBCheckBox2");
    auto* DBCheckBox1 = control<DBCheckBox>(*dialog, "DBCheckBox1");
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* Label3 = control<QLabel>(*dialog, "Label3");
    auto* DBText1 = control<DBText>(*dialog, "DBText1");
    auto* SpeedButton3 = control<QToolButton>(*dialog, "SpeedButton3");
    auto* Image1 = control<PictureBox>(*dialog, "Image1");
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Detaljer"));
    EXPECT_EQ(dialog->size(), QSize(457, 616));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()); // not resizable
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_EQ(dialog->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(dialog->font().pixelSize(), 11);
    EXPECT_EQ(MenuPanel->geometry(), QRect(0, 0, 457, 49));

    struct Item { const char* name; QRect geometry; const char* caption; bool enabled; };
    const Item band[] = {
        {"Bevel2", {0, 0, 8, 49}, "", true},          {"NewButton", {8, 0, 65, 49}, "Ny", false},
        {"DelButton", {73, 0, 65, 49}, "Slett", false}, {"CancelButton", {138, 0, 65, 49}, "Avbryt", false},
        {"SaveButton", {203, 0, 65, 49}, "Lagre", false}, {"Bevel3", {268, 0, 8, 49}, "", true},
        {"FirstButton", {276, 0, 33, 49}, "", true},  {"SpeedButton1", {309, 0, 33, 49}, "", true},
        {"SpeedButton2", {342, 0, 33, 49}, "", true}, {"LastButton", {375, 0, 33, 49}, "", true},
    };
    for (const Item& i : band) {
        SCOPED_TRACE(i.name);
        auto* w = MenuPanel->findChild<QWidget*>(QString::fromLatin1(i.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), i.geometry);
        EXPECT_EQ(w->isEnabled(), i.enabled);
        if (auto* b = qobject_cast<QToolButton*>(w)) {
            EXPECT_EQ(b->text(), QString::fromUtf8(i.caption));
            EXPECT_FALSE(b->icon().isNull());
            EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
            EXPECT_TRUE(b->autoRaise());
            EXPECT_EQ(b->font().stretch(), dialog->font().stretch()); // the caption fits as it is
        }
    }

    struct Control { const char* name; QRect geometry; const char* field; };
    const Control controls[] = {
        {"DBEdit1", {40, 88, 377, 21}, "producttext"}, {"DBCheckBox2", {248, 65, 61, 17}, "sale"},
        {"DBCheckBox1", {320, 65, 97, 17}, "web"},     {"DBMemo1", {40, 152, 270, 89}, "object_text"},
        {"Edit1", {346, 152, 71, 21}, ""},             {"DBEdit4", {346, 208, 71, 21}, "price"},
        {"SpeedButton3", {384, 251, 33, 31}, ""},      {"BildeEdit", {40, 280, 377, 21}, "picture"},
        {"Bevel1", {40, 315, 270, 270}, ""},           {"Image1", {40, 315, 270, 270}, ""},
        {"DBText1", {120, 552, 105, 17}, "utpris"},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        auto* w = dialog->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), c.geometry);
        QString field;
        if (auto* e = qobject_cast<DBEdit*>(w)) field = e->dataField();
        if (auto* m = qobject_cast<DBMemo*>(w)) field = m->dataField();
        if (auto* x = qobject_cast<DBCheckBox*>(w)) field = x->dataField();
        if (auto* t = qobject_cast<DBText*>(w)) field = t->dataField();
        EXPECT_EQ(field, QString::fromLatin1(c.field));
    }
    const std::pair<const char*, const char*> labels[] = {
        {"Label1", "Tekst:"}, {"Label3", "Utfyllende tekst:"}, {"Label2", "Utpris:"}, {"Label4", "Bilde:"}};
    for (const auto& [name, caption] : labels)
        EXPECT_EQ(dialog->findChild<QLabel*>(QString::fromLatin1(name))->text(), QString::fromUtf8(caption));
    EXPECT_EQ(Label1->pos(), QPoint(40, 72));
    EXPECT_EQ(Label2->pos(), QPoint(346, 133));
    EXPECT_EQ(Label2->buddy(), Edit1);
    EXPECT_EQ(DBCheckBox2->text(), QStringLiteral("På salg"));
    EXPECT_EQ(DBCheckBox1->text(), QStringLiteral("I nettbutikken"));
    EXPECT_TRUE(Label1->font().bold());
    EXPECT_TRUE(DBEdit1->font().bold());
    EXPECT_TRUE(Label2->font().bold());
    EXPECT_FALSE(Label3->font().bold());
    EXPECT_EQ(DBText1->font().pixelSize(), 15);
    EXPECT_TRUE(DBText1->font().bold());
    EXPECT_EQ(DBText1->alignment(), Qt::AlignCenter);
    EXPECT_EQ(DBText1->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(SpeedButton3->focusPolicy(), Qt::NoFocus);
    // Drawn over the picture box.
    const QObjectList& children = dialog->children();
    EXPECT_GT(children.indexOf(DBText1), children.indexOf(Image1));
    // Both windows show the same current record.
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Liljer"));
    EXPECT_EQ(DBText1->text(), QStringLiteral("kr 100,00"));

    // Tab order, from the product text round to the out-price box.
    showDialog();
    DBEdit1->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{"DBEdit1", "BildeEdit", "DBMemo1", "DBEdit4", "DBCheckBox1", "DBCheckBox2", "Edit1",
                                  "DBEdit1"}));
}

TEST_F(DetailDialog, ActionButtonsFollowTheTableState)
{
    createWindows();
    auto* NewButton = control<QToolButton>(*dialog, "NewButton");
    auto* CancelButton = control<QToolButton>(*dialog, "CancelButton");
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* DelButton = control<QToolButton>(*dialog, "DelButton");
    EXPECT_EQ(actionButtons(), QStringLiteral("0000")); // as designed, until the dialog shows
    showDialog();
    const int before = table().recordCount();
    struct Step { const char* what; std::function<void()> act; const char* buttons; DataSetState state; };
    const Step steps[] = {
        {"shown", [] {}, "0011", DataSetState::Browse},
        {"Ny", [&] { click(NewButton); }, "1100", DataSetState::Insert},
        {"Avbryt", [&] { click(CancelButton); }, "0011", DataSetState::Browse},
        {"typing in the text box", [&] { QTest::keyClicks(DBEdit1, "x"); }, "1100", DataSetState::Edit},
        {"Lagre", [&] { click(SaveButton); }, "0011", DataSetState::Browse},
        {"entering the out-price box", [&] { QTest::mouseClick(Edit1, Qt::LeftButton); }, "1100", DataSetState::Edit},
        {"Slett answered Ja", [&] { auto ja = answerNextQuestion(QuestionReply::ClickJa); click(DelButton); },
         "1100", DataSetState::Edit}, // disabled while editing: nothing happens
        {"Avbryt again", [&] { click(CancelButton); }, "0011", DataSetState::Browse},
        {"Slett answered Nei", [&] { auto nei = answerNextQuestion(QuestionReply::ClickNei); click(DelButton); },
         "0011", DataSetState::Browse},
        {"hidden, an edit from elsewhere", [&] { dialog->close(); table().edit(); }, "1100", DataSetState::Edit},
        {"hidden, Cancel", [&] { table().cancel(); }, "0011", DataSetState::Browse},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(actionButtons(), QString::fromLatin1(s.buttons));
        EXPECT_EQ(table().state(), s.state);
    }
    EXPECT_EQ(table().recordCount(), before); // the new record was discarded, nothing deleted
    EXPECT_EQ(stored(QStringLiteral("producttext"), 43), QStringLiteral("Liljerx"));

    auto ja = answerNextQuestion(QuestionReply::ClickJa);
    showDialog();
    click(DelButton);
    EXPECT_TRUE(ja->asked);
    EXPECT_EQ(stored(QStringLiteral("producttext"), 43), QStringLiteral("<no row>"));
    EXPECT_EQ(actionButtons(), QStringLiteral("0011"));
}

TEST_F(DetailDialog, NavigationButtonsMoveAndPostAPendingEdit)
{
    createWindows();
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* LastButton = control<QToolButton>(*dialog, "LastButton");
    auto* SpeedButton1 = control<QToolButton>(*dialog, "SpeedButton1");
    auto* FirstButton = control<QToolButton>(*dialog, "FirstButton");
    auto* SpeedButton2 = control<QToolButton>(*dialog, "SpeedButton2");
    auto* DBMemo1 = control<DBMemo>(*dialog, "DBMemo1");
    showDialog();
    QStringList seen;
    auto at = [&] { seen << DBEdit1->text(); };
    click(LastButton), at();
    click(SpeedButton1), at();
    click(FirstButton), at();
    click(SpeedButton2), at();
    EXPECT_EQ(seen, (QStringList{"Amaryllis", "Tulipaner", "Liljer", "Roser"}));

    QTest::keyClicks(DBMemo1, "Fine");
    click(SpeedButton2);
    EXPECT_EQ(table().state(), DataSetState::Browse);
    EXPECT_EQ(stored(QStringLiteral("object_text"), 41), QStringLiteral("FineRøde roser"));
}

TEST_F(DetailDialog, PriceListWritesTheOutPriceAsPlainNumberText)
{
    admin.exec(QStringLiteral("UPDATE product SET price = NULL WHERE id = 42"));
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    struct Case { int id; const char* text; } cases[] = {{41, "125"}, {44, "12,4875"}, {42, "0"}, {43, "100"}};
    for (const Case& c : cases) {
        goTo(c.id);
        EXPECT_EQ(Edit1->text(), QString::fromLatin1(c.text)) << c.id;
    }
    // An equal text is left alone: the cursor stays where it was.
    Edit1->setCursorPosition(1);
    table().edit();
    table().MyTableproducttext->setAsString(QStringLiteral("Liljer, hvite"));
    EXPECT_EQ(Edit1->cursorPosition(), 1);
    table().cancel();
    EXPECT_EQ(Edit1->cursorPosition(), 1);
}

TEST_F(DetailDialog, OutPriceBoxSetsThePrice)
{
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* DBEdit4 = control<DBEdit>(*dialog, "DBEdit4");
    showDialog();
    QClipboard* clipboard = QApplication::clipboard();
    const auto typed = [&](const char* keys) { return [&, keys] { typeKeyByKey(Edit1, keys); }; };
    const auto pasted = [&](const char* text) {
        return [&, text] {
            clipboard->setText(QString::fromLatin1(text));
            QTest::keyClick(Edit1, Qt::Key_V, Qt::ControlModifier);
        };
    };
    struct Case {
        const char* what;
        std::function<void()> input;
        double price;
        const char* box;  // right after the input
        const char* left; // once the box is left
        const char* error;
    } cases[] = {
        {"typed 125", typed("125"), 100, "125", "125", nullptr},
        // Typed key by key, an unfinished number is neither rewritten nor reported.
        {"typed 12,50", typed("12,50"), 10, "12,50", "12,5", nullptr},
        {"typed 0,5", typed("0,5"), 0.4, "0,5", "0,5", nullptr},
        {"typed 9,99", typed("9,99"), 7.992, "9,99", "9,99", nullptr},
        {"typed 10,05", typed("10,05"), 8.04, "10,05", "10,05", nullptr},
        {"typed -3", typed("-3"), -2.4, "-3", "-3", nullptr},
        {"typed ,5", typed(",5"), 0.4, ",5", "0,5", nullptr},
        {"typed 12, and left", typed("12,"), 9.6, "12,", "12", nullptr},
        {"typed a sign alone", typed("-"), 20, "-", "25", nullptr},
        // A paste is put in its tidy form at once.
        {"pasted 012", pasted("012"), 9.6, "12", "12", nullptr},
        {"pasted 12,50", pasted("12,50"), 10, "12,5", "12,5", nullptr},
        {"a letter", typed("x"), 20, "x", "25", "'x' is not a valid floating point value."},
        {"a letter after a price", typed("12,5x"), 10, "12,5x", "12,5", "'12,5x' is not a valid floating point value."},
        {"a point, not the decimal comma", typed("2.5"), 1.6, "2.5", "2", "'2.' is not a valid floating point value."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        goTo(42); // price 20
        messages.clear();
        DBEdit4->setFocus(Qt::TabFocusReason); // so that the click enters the box
        QTest::mouseClick(Edit1, Qt::LeftButton);
        EXPECT_EQ(table().state(), DataSetState::Edit);
        Edit1->clear(); // empty: the price stays
        EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), 20);
        c.input();
        EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), c.price);
        EXPECT_EQ(Edit1->text(), QString::fromLatin1(c.box));
        if (c.error) {
            ASSERT_FALSE(messages.empty());
            EXPECT_EQ(messages.front().text, QString::fromLatin1(c.error));
            EXPECT_EQ(messages.front().icon, MessageIcon::Error);
        } else {
            EXPECT_EQ(messageTexts(), QStringList());
        }
        QTest::keyClick(Edit1, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), Edit1);
        EXPECT_EQ(Edit1->text(), QString::fromLatin1(c.left));
        EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), c.price);
        table().cancel();
    }
    // "2.5": each text that is not a number gives its error; "2" set the price on the way.
    EXPECT_EQ(messageTexts(), (QStringList{"'2.' is not a valid floating point value.",
                                           "'2.5' is not a valid floating point value."}));
}

TEST_F(DetailDialog, TypedPriceIsThePriceSaved)
{
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showDialog();
    goTo(42);
    QTest::mouseClick(Edit1, Qt::LeftButton);
    Edit1->selectAll();
    typeKeyByKey(Edit1, "12,50");
    const qsizetype statements = sent().size();
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(sent().mid(statements),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 10\r\nWHERE\r\n  id = 42")});
    EXPECT_EQ(Edit1->text(), QStringLiteral("12,5")); // saved: its tidy form
}

TEST_F(DetailDialog, TypingAfterLagreWithTheFocusStillThereStartsTheEdit)
{
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    auto* DBEdit4 = control<DBEdit>(*dialog, "DBEdit4");
    showDialog();
    goTo(42);
    QTest::mouseClick(Edit1, Qt::LeftButton);
    Edit1->selectAll();
    QTest::keyClicks(Edit1, "150");
    EXPECT_EQ(actionButtons(), QStringLiteral("1100"));
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Edit1);
    EXPECT_EQ(stored(QStringLiteral("price"), 42), QStringLiteral("120"));
    EXPECT_EQ(table().state(), DataSetState::Browse);
    const qsizetype statements = sent().size();

    // The box has the focus, so typing in it starts the edit, as entering it does.
    QTest::keyClick(Edit1, Qt::Key_Backspace);
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_EQ(actionButtons(), QStringLiteral("1100"));
    typeKeyByKey(Edit1, "9");
    EXPECT_EQ(Edit1->text(), QStringLiteral("159"));
    EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), 127.2);
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(sent().mid(statements),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 127.2\r\nWHERE\r\n  id = 42")});
    EXPECT_TRUE(messages.empty());

    // Entering the box again starts the edit, which shows the out-price in it again.
    DBEdit4->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(Edit1, Qt::LeftButton);
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_EQ(Edit1->text(), QStringLiteral("159"));
    QTest::keyClick(Edit1, Qt::Key_End);
    QTest::keyClick(Edit1, Qt::Key_Backspace);
    EXPECT_DOUBLE_EQ(table().MyTableprice->asFloat(), 12);
}

TEST_F(DetailDialog, OnlyTheUsersOwnInputInTheBoxSetsThePrice)
{
    createWindows();
    auto* DBEdit4 = control<DBEdit>(*dialog, "DBEdit4");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    auto* NewButton = control<QToolButton>(*dialog, "NewButton");
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    showDialog();
    // A cleared price box saves no price, not the 0 the out-price box then shows.
    goTo(42);
    DBEdit4->setFocus(Qt::TabFocusReason);
    DBEdit4->selectAll();
    QTest::keyClick(DBEdit4, Qt::Key_Backspace);
    QTest::keyClick(DBEdit4, Qt::Key_Tab);
    EXPECT_TRUE(table().MyTableprice->isNull());
    EXPECT_EQ(Edit1->text(), QStringLiteral("0"));
    EXPECT_TRUE(table().MyTableprice->isNull());
    qsizetype statements = sent().size();
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    EXPECT_EQ(sent().mid(statements),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = NULL\r\nWHERE\r\n  id = 42")});

    // "Ny" from a priced product: the new record has no price until the user gives one.
    goTo(41); // price 100
    QTest::mouseClick(NewButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), DBEdit1);
    EXPECT_TRUE(table().MyTableprice->isNull());
    typeKeyByKey(DBEdit1, "Nelliker");
    statements = sent().size();
    QTest::mouseClick(SaveButton, Qt::LeftButton);
    const QStringList insert = sent().mid(statements);
    ASSERT_EQ(insert.size(), 1);
    EXPECT_TRUE(insert[0].startsWith(QLatin1String("Query INSERT INTO product\r\n"))) << insert[0].toStdString();
    EXPECT_FALSE(insert[0].contains(QLatin1String("price"))) << insert[0].toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(DetailDialog, TextTheDatabaseCannotHoldIsRefusedAndTheEditKept)
{
    createWindows();
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* DBMemo1 = control<DBMemo>(*dialog, "DBMemo1");
    auto* BildeEdit = control<DBEdit>(*dialog, "BildeEdit");
    auto* SaveButton = control<QToolButton>(*dialog, "SaveButton");
    showDialog();
    struct Case {
        const char* what;
        QWidget* control;
        QString typed;
        const char* column;
        const char* error; // nullptr: saved
    } cases[] = {
        {"product text", DBEdit1, QStringLiteral("Roser Řő"), "producttext",
         "Teksten kan ikke lagres: tegnene «Ř ő» finnes ikke i databasens tegnsett (Tekst)."},
        {"description with a flower", DBMemo1, QStringLiteral("Fine \U0001F337"), "object_text",
         "Teksten kan ikke lagres: tegnene «\U0001F337» finnes ikke i databasens tegnsett (Utfyllende tekst)."},
        {"picture reference", BildeEdit, QStringLiteral("Ř.jpg"), "picture",
         "Teksten kan ikke lagres: tegnene «Ř» finnes ikke i databasens tegnsett (Bilde)."},
        {"a dash is fine", DBEdit1, QStringLiteral("Roser — røde"), "producttext", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        goTo(41);
        messages.clear();
        const QString before = stored(QString::fromLatin1(c.column), 41);
        c.control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(c.control, Qt::Key_A, Qt::ControlModifier);
        for (qsizetype i = 0; i < c.typed.size(); ++i) { // a character at a time, a surrogate pair as one
            const qsizetype length = c.typed[i].isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, c.control, Qt::Key_unknown, c.typed.mid(i, length), Qt::NoModifier);
            i += length - 1;
        }
        const qsizetype statements = sent().size();
        QTest::mouseClick(SaveButton, Qt::LeftButton);
        if (!c.error) {
            EXPECT_EQ(table().state(), DataSetState::Browse);
            EXPECT_EQ(stored(QString::fromLatin1(c.column), 41), c.typed);
            continue;
        }
        EXPECT_EQ(messageTexts(), QStringList{QString::fromUtf8(c.error)});
        EXPECT_EQ(sent().size(), statements);
        EXPECT_EQ(stored(QString::fromLatin1(c.column), 41), before);
        EXPECT_EQ(table().state(), DataSetState::Edit);
        EXPECT_EQ(table().fieldByName(QString::fromLatin1(c.column))->asString(), c.typed);
        EXPECT_EQ(c.control->property(qobject_cast<QLineEdit*>(c.control) ? "text" : "plainText").toString(), c.typed);
        table().cancel();
    }
}

TEST_F(DetailDialog, ShownItHoldsTheOutPriceOfTheProductItShows)
{
    createWindows();
    auto* DBEdit1 = control<DBEdit>(*dialog, "DBEdit1");
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    // Right after start, before any data change.
    showDialog();
    EXPECT_EQ(DBEdit1->text(), QStringLiteral("Liljer"));
    EXPECT_EQ(Edit1->text(), QStringLiteral("100"));
    // Showing it set no price.
    EXPECT_EQ(table().state(), DataSetState::Browse);
    EXPECT_EQ(sent().filter(QStringLiteral("UPDATE")), QStringList());
}

TEST_F(DetailDialog, ClosingDuringAnEditLeavesItPendingAndMovingInTheListPostsIt)
{
    createWindows();
    auto* Edit1 = control<QLineEdit>(*dialog, "Edit1");
    showDialog();
    dialog->move(300, 200);
    goTo(42);
    QTest::mouseClick(Edit1, Qt::LeftButton);
    Edit1->selectAll();
    QTest::keyClicks(Edit1, "50");
    const qsizetype statements = sent().size();
    dialog->close();
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_EQ(table().state(), DataSetState::Edit);
    EXPECT_EQ(sent().size(), statements);
    IniDocument user;
    user.load(sandbox.workFolder() + QStringLiteral("/kari.INI"));
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisDataForm"), QStringLiteral("Left")), QStringLiteral("300"));
    EXPECT_EQ(user.value(QStringLiteral("VINDU-PrisDataForm"), QStringLiteral("Top")), QStringLiteral("200"));

    list->show();
    QApplication::setActiveWindow(list.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
    QTest::keyClick(list->DBGrid1, Qt::Key_Up);
    EXPECT_EQ(table().state(), DataSetState::Browse);
    EXPECT_EQ(sent().mid(statements),
              QStringList{QStringLiteral("Query UPDATE product\r\nSET\r\n  price = 40\r\nWHERE\r\n  id = 42")});

    // Shown again: where it was left, the position only.
    dialog->resize(300, 300);
    showDialog();
    EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(300, 200));
    EXPECT_EQ(dialog->size(), QSize(457, 616));
}

} // namespace
