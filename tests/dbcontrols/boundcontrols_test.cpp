// The bound controls: what they show, which keys they take, how they start the table's
// edit and how their input reaches the fields.
#include "common/errors.h"
#include "common/messages.h"
#include "db/datasource.h"
#include "dbcontrols/dbcheckbox.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbmemo.h"
#include "dbcontrols/dbtext.h"
#include "tests/db/productset.h"
#include "tests/support/qstringprint.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A small detail window over an in-memory product table, shown and active so that the
// focus moves as a user's would.
struct Form : ::testing::Test {
    ProductSet table;
    DataSource source;
    QWidget window;
    DBEdit* text = new DBEdit(&window);
    DBEdit* price = new DBEdit(&window);
    DBEdit* outPrice = new DBEdit(&window);
    DBMemo* memo = new DBMemo(&window);
    DBCheckBox* web = new DBCheckBox(QStringLiteral("I nettbutikken"), &window);
    DBText* outPriceText = new DBText(&window);
    QLineEdit* elsewhere = new QLineEdit(&window);
    std::vector<MessageRequest> messages;

    void SetUp() override
    {
        table.open();
        table.add(QStringLiteral("Roser"), 10.0, QVariant());
        table.add(QStringLiteral("Tulipaner"), QVariant(), 1);
        table.first();
        source.setDataSet(&table);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{text, price, outPrice, memo, web, outPriceText, elsewhere})
            layout->addWidget(w);
        text->setDataSource(&source);
        text->setDataField(QStringLiteral("producttext"));
        price->setDataSource(&source);
        price->setDataField(QStringLiteral("price"));
        outPrice->setDataSource(&source);
        outPrice->setDataField(QStringLiteral("utpris"));
        memo->setDataSource(&source);
        memo->setDataField(QStringLiteral("object_text"));
        web->setDataSource(&source);
        web->setDataField(QStringLiteral("web"));
        outPriceText->setDataSource(&source);
        outPriceText->setDataField(QStringLiteral("utpris"));
        setMessageHandler([this](const MessageRequest& r) {
            messages.push_back(r);
            return MessageAnswer::Ok;
        });
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { setMessageHandler({}); }

    void enter(QWidget* w)
    {
        w->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(w->hasFocus());
    }
    // A click on the box itself (not on the empty space beside its caption).
    void clickBox() { QTest::mouseClick(web, Qt::LeftButton, {}, QPoint(6, web->height() / 2)); }
    void leave() { elsewhere->setFocus(Qt::TabFocusReason); }
    // Characters one by one (keyClicks refuses non-ASCII).
    static void type(QWidget* w, const QString& chars)
    {
        for (QChar ch : chars)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
};

TEST_F(Form, ShowsEditTextWhileFocusedAndDisplayTextOtherwise)
{
    table.next();
    table.first();
    EXPECT_EQ(text->text(), QStringLiteral("Roser"));
    EXPECT_EQ(price->text(), QStringLiteral("10"));
    EXPECT_EQ(outPrice->text(), QStringLiteral("kr 12,50"));   // calculated: never edited
    EXPECT_EQ(outPriceText->text(), QStringLiteral("kr 12,50"));
    EXPECT_EQ(web->checkState(), Qt::PartiallyChecked);        // null
    enter(outPrice);
    EXPECT_EQ(outPrice->text(), QStringLiteral("kr 12,50"));
    table.next();
    EXPECT_EQ(price->text(), QString());                        // null price
    EXPECT_EQ(web->checkState(), Qt::Checked);
    EXPECT_EQ(outPriceText->text(), QStringLiteral("kr 0,00"));
}

struct TypedCase {
    const char* field;
    QString typed;
    QString shown;       // what the box holds afterwards
    QVariant stored;     // the field's value after leaving the box
};

class Typing : public Form, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(Typing, AcceptsOnlyTheFieldsCharacters)
{
    const TypedCase& c = GetParam();
    DBEdit* box = QString::fromLatin1(c.field) == QLatin1String("price") ? price : text;
    enter(box);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    type(box, c.typed);
    EXPECT_EQ(box->text(), c.shown);
    leave();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(table.fieldByName(QString::fromLatin1(c.field))->value(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Typing,
    ::testing::Values(
        // Norwegian settings: the decimal comma is taken, the full stop refused.
        TypedCase{"price", QStringLiteral("12.5"), QStringLiteral("125"), QVariant(125.0)},
        TypedCase{"price", QStringLiteral("12,5"), QStringLiteral("12,5"), QVariant(12.5)},
        TypedCase{"price", QStringLiteral("-1E2x"), QStringLiteral("-1E2"), QVariant(-100.0)},
        TypedCase{"price", QString(), QString(), QVariant()},                       // cleared: null
        TypedCase{"producttext", QString(), QString(), QVariant(QString())},        // cleared: empty text
        TypedCase{"producttext", QStringLiteral("Søm 12.5 €"), QStringLiteral("Søm 12.5 €"),
                  QVariant(QStringLiteral("Søm 12.5 €"))},
        // Kept as typed, never turned into "?": Post refuses what Windows-1252 cannot hold.
        TypedCase{"producttext", QStringLiteral("Ω-lilje"), QStringLiteral("Ω-lilje"), QVariant(QStringLiteral("Ω-lilje"))}));

TEST_F(Form, IntegerBoxTakesDigitsAndSignsOnly)
{
    DBEdit qty;
    qty.setDataSource(&source);
    qty.setDataField(QStringLiteral("sale"));
    window.layout()->addWidget(&qty);
    qty.show();
    enter(&qty);
    qty.selectAll();
    type(&qty, QStringLiteral("a,1e-2"));
    EXPECT_EQ(qty.text(), QStringLiteral("1-2"));
}

TEST_F(Form, RefusedCharacterDoesNotStartTheEdit)
{
    enter(price);
    type(price, QStringLiteral(".x"));
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(price->text(), QStringLiteral("10"));
}

TEST_F(Form, TextBoxStopsAtTheFieldsLength)
{
    enter(text);
    text->selectAll();
    type(text, QString(130, QLatin1Char('x')));
    EXPECT_EQ(text->text().size(), 128);
}

TEST_F(Form, NonNumberReportsTheFieldAndKeepsTheFocus)
{
    enter(price);
    price->selectAll();
    type(price, QStringLiteral("1e"));
    leave();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("'1e' is not a valid floating point value for field 'price'"));
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(price->hasFocus());
    EXPECT_EQ(price->selectedText(), QStringLiteral("1e"));
    EXPECT_EQ(table.price->value(), QVariant(10.0));   // unchanged
    EXPECT_EQ(table.state(), DataSetState::Edit);

    // The same input stops a post, which leaves the table editing.
    messages.clear();
    EXPECT_THROW(table.post(), Error);
    EXPECT_EQ(table.state(), DataSetState::Edit);
    EXPECT_EQ(price->text(), QStringLiteral("1e"));
}

TEST_F(Form, TypingInBrowseStartsTheEditBeforeTheCharacterShows)
{
    QStringList seenByHandler;
    source.onStateChange = [&] { seenByHandler << text->text(); };
    enter(text);
    text->end(false);
    type(text, QStringLiteral("!"));
    EXPECT_EQ(seenByHandler, QStringList{QStringLiteral("Roser")});
    EXPECT_EQ(table.state(), DataSetState::Edit);
    EXPECT_EQ(text->text(), QStringLiteral("Roser!"));
    EXPECT_TRUE(text->hasPendingInput());
}

TEST_F(Form, KeysThatChangeTextStartTheEdit)
{
    const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier}};
    for (const auto& [key, mods] : keys) {
        table.cancel();
        enter(text);
        QTest::keyClick(text, key, mods);
        EXPECT_EQ(table.state(), DataSetState::Edit) << key;
    }
    // Moving and copying do not.
    table.cancel();
    enter(text);
    QTest::keyClick(text, Qt::Key_Left);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(table.state(), DataSetState::Browse);
}

TEST_F(Form, KeysAreDroppedWhereTheFieldCannotChange)
{
    enter(outPrice);   // calculated
    type(outPrice, QStringLiteral("5"));
    QTest::keyClick(outPrice, Qt::Key_Backspace);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_EQ(outPrice->text(), QStringLiteral("kr 12,50"));

    table.close();     // a closed table cannot enter the edit state
    enter(text);
    type(text, QStringLiteral("x"));
    EXPECT_EQ(text->text(), QString());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Form, EscShowsTheValueAgainAndKeepsTheState)
{
    enter(text);
    text->end(false);
    type(text, QStringLiteral("xyz"));
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_EQ(text->text(), QStringLiteral("Roser"));
    EXPECT_EQ(text->selectedText(), QStringLiteral("Roser"));
    EXPECT_FALSE(text->hasPendingInput());
    EXPECT_EQ(table.state(), DataSetState::Edit);
    leave();
    EXPECT_EQ(table.producttext->asString(), QStringLiteral("Roser"));
    EXPECT_FALSE(table.isModified());
}

TEST_F(Form, MemoEditsLikeTheTextBox)
{
    enter(memo);
    type(memo, QStringLiteral("Røde"));
    QTest::keyClick(memo, Qt::Key_Return);
    type(memo, QStringLiteral("12 stk"));
    EXPECT_EQ(table.state(), DataSetState::Edit);
    leave();
    EXPECT_EQ(table.objectText->asString(), QStringLiteral("Røde\n12 stk"));
    table.post();
    table.next();
    EXPECT_EQ(memo->toPlainText(), QString());
    table.prior();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Røde\n12 stk"));
}

TEST_F(Form, GreyedCheckBoxBecomesCheckedAndIsSavedAsOne)
{
    ASSERT_EQ(web->checkState(), Qt::PartiallyChecked);
    clickBox();
    EXPECT_EQ(table.state(), DataSetState::Edit);
    EXPECT_EQ(web->checkState(), Qt::Checked);
    table.post();
    EXPECT_EQ(table.web->value(), QVariant(1));
    EXPECT_EQ(web->checkState(), Qt::Checked);

    enter(web);
    QTest::keyClick(web, Qt::Key_Space);
    EXPECT_EQ(web->checkState(), Qt::Unchecked);
    leave();
    EXPECT_EQ(table.web->value(), QVariant(0));
}

TEST_F(Form, CheckBoxOnAClosedTableDoesNotToggle)
{
    table.close();
    clickBox();
    EXPECT_EQ(web->checkState(), Qt::PartiallyChecked);
}

TEST_F(Form, CheckBoxEscDropsTheClick)
{
    clickBox();
    enter(web);
    QTest::keyClick(web, Qt::Key_Escape);
    EXPECT_EQ(web->checkState(), Qt::PartiallyChecked);
    table.post();
    EXPECT_TRUE(table.web->isNull());
}

TEST_F(Form, MovingAwayPostsInputNotYetWritten)
{
    // Input typed into a box that still has the focus is not lost by a move.
    enter(price);
    price->selectAll();
    type(price, QStringLiteral("20"));
    table.next();
    table.prior();
    EXPECT_EQ(table.price->value(), QVariant(20.0));
    EXPECT_EQ(table.utpris->displayText(), QStringLiteral("kr 25,00"));
}

} // namespace
