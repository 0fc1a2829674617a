// "Finn..." (Ctrl+F): the find box steps through the products whose text or description
// holds the typed words, forward and backward with wrap-around, and counts them.
#include "common/messages.h"
#include "dbcontrols/dbgrid.h"
#include "find/finnform.h"
#include "pricelist/prisliste.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "tests/support/testdatabase.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Find : public ::testing::Test {
protected:
    Sandbox sandbox;
    testdb::Admin other;
    std::vector<MessageRequest> boxes;
    std::unique_ptr<TPrislisteForm> form;
    TFinnForm* box = nullptr;

    void SetUp() override
    {
        testdb::pointProgramAtServer();
        other.exec(QStringLiteral("DELETE FROM product"));
        // In list order: Anemoner, Bukett, Roser hvite, Roser røde, Sytråd | Rosenkrans, Tulipaner.
        other.exec(QStringLiteral(
            "INSERT INTO product (id, producttext, object_text, price, web) VALUES "
            "(1, 'Anemoner', NULL, 10, 0), (2, 'Bukett', 'Roser og liljer', 20, 0), (3, 'Roser, hvite', NULL, 30, 0), "
            "(4, 'Roser, røde', 'Røde roser', 40, 0), (5, 'Sytråd', NULL, 5, 0), (6, 'Rosenkrans', NULL, 50, 1), "
            "(7, 'Tulipaner', NULL, 15, 1)"));
        setMessageHandler([this](const MessageRequest& r) {
            boxes.push_back(r);
            return MessageAnswer::Ok;
        });
        form = std::make_unique<TPrislisteForm>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->DBGrid1->setFocus();
        QTest::keyClick(form->DBGrid1, Qt::Key_F, Qt::ControlModifier);
        box = form->findChild<TFinnForm*>(QStringLiteral("FinnForm"));
        ASSERT_NE(box, nullptr);
        // A dialog counts as active while its parent is (qWaitForWindowActive): wait for its own activation.
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == box; }));
    }
    void TearDown() override
    {
        form.reset();
        setMessageHandler({});
        qunsetenv("PRISLISTE_DB_HOST");
        qunsetenv("PRISLISTE_DB_PORT");
    }
    void search(const QString& text)
    {
        box->FinnEdit->clear();
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box->FinnEdit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        EXPECT_EQ(box->FinnEdit->text(), text);
    }
    // "n": Enter, "f": F3, "b": Shift+F3, "N"/"B": the buttons. Returns "row:count text" per step.
    QStringList steps(const char* keys)
    {
        QStringList seen;
        for (const char* k = keys; *k; ++k) {
            switch (*k) {
            case 'n': QTest::keyClick(box->FinnEdit, Qt::Key_Return); break;
            case 'f': QTest::keyClick(box->FinnEdit, Qt::Key_F3); break;
            case 'b': QTest::keyClick(box->FinnEdit, Qt::Key_F3, Qt::ShiftModifier); break;
            case 'N': box->NesteButton->click(); break;
            case 'B': box->ForrigeButton->click(); break;
            }
            seen << QStringLiteral("%1:%2").arg(form->MyTable.currentRow()).arg(box->TreffLabel->text());
        }
        return seen;
    }
};

TEST_F(Find, CtrlFOpensANonModalBoxBesideTheList)
{
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(box->isWindow());
    EXPECT_EQ(form->Finn1->text(), QStringLiteral("Finn..."));
    EXPECT_EQ(form->Finn1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(QApplication::focusWidget(), box->FinnEdit);
    // The price list itself gained no control that takes the focus.
    int focusable = 0;
    for (QWidget* w : form->centralWidget()->findChildren<QWidget*>())
        focusable += w->focusPolicy() != Qt::NoFocus && w->window() == form.get() && w->isVisibleTo(form.get());
    EXPECT_EQ(focusable, 1);
}

TEST_F(Find, StepsForwardAndBackWithWrapAndCounts)
{
    struct Case {
        const char* text;
        int from;
        const char* keys;
        QStringList seen;
    };
    const Case cases[] = {
        {"rose", 0, "nfffN", {"1:1 av 4", "2:2 av 4", "3:3 av 4", "5:4 av 4", "1:1 av 4"}},
        {"rose", 0, "bbB", {"5:4 av 4", "3:3 av 4", "2:2 av 4"}},
        {"ROSE", 2, "f", {"3:3 av 4"}},                  // case ignored; the next after the current one
        {"rød rose", 0, "nn", {"3:1 av 1", "3:1 av 1"}}, // every word; the only match wraps to itself
        {"bukett liljer", 4, "n", {"1:1 av 1"}},       // words in text and description
        {"RØDE", 0, "n", {"3:1 av 1"}},
        {"orkidé", 4, "nb", {"4:Ingen treff", "4:Ingen treff"}},
        {"  ", 2, "nf", {"2:", "2:"}},                  // an empty search does nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        form->MyTable.moveTo(c.from);
        search(QString::fromUtf8(c.text));
        EXPECT_EQ(box->TreffLabel->text(), QString());
        EXPECT_EQ(steps(c.keys), c.seen);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Find, AStepIsAMoveOfTheTableAndTheCountFollowsTheRecords)
{
    ProductTable& t = form->MyTable;
    t.moveTo(0);
    t.edit();
    t.MyTableprice->setAsFloat(11);
    search(QStringLiteral("rose"));
    EXPECT_EQ(steps("n"), QStringList{"1:1 av 4"});
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(other.column(QStringLiteral("SELECT price FROM product WHERE id = 1")), QStringList{"11"});

    // A text changed in an edit counts at once; so does a product another workstation added.
    t.moveTo(4);
    t.edit();
    t.MyTableproducttext->setAsString(QStringLiteral("Rosebed"));
    EXPECT_EQ(steps("b"), QStringList{"3:3 av 5"});
    other.exec(QStringLiteral("INSERT INTO product (id, producttext, price, web) VALUES (8, 'Aroser', 1, 0)"));
    form->Oppdater1->trigger();
    t.first();
    EXPECT_EQ(steps("N"), QStringList{"1:1 av 6"});
    EXPECT_EQ(t.MyTableproducttext->asString(), QStringLiteral("Aroser"));
    EXPECT_TRUE(boxes.empty());

    // A failed post stops the step where it is.
    t.moveTo(2);
    t.edit();
    t.MyTableprice->setAsFloat(1);
    other.exec(QStringLiteral("DELETE FROM product WHERE id = 2"));
    steps("n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("MyTable: Update failed. Found 0 records."));
    EXPECT_EQ(t.currentRow(), 2);
    EXPECT_EQ(t.state(), DataSetState::Edit);
}

}
