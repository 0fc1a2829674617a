#include "common/windowplacement.h"
#include "pricelist/JaNei.h"
#include "tests/support/qstringprint.h"
#include "tests/support/questions.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class Question : public ::testing::Test {
protected:
    void SetUp() override { WindowPlacement::instance().reset(); }
    void TearDown() override { WindowPlacement::instance().reset(); }
};

} // namespace

TEST_F(Question, AnswersByButtonKeyAndCloseBoxWithFocusOnTheDefault)
{
    struct Case { bool defaultAnswer; QuestionReply reply; bool answer; };
    const Case cases[] = {
        {false, QuestionReply::Enter, false},
        {true, QuestionReply::Enter, true},
        {false, QuestionReply::ClickJa, true},
        {true, QuestionReply::ClickNei, false},
        {true, QuestionReply::Escape, false},
        {false, QuestionReply::Escape, false},
        {false, QuestionReply::AltJ, true},
        {true, QuestionReply::AltN, false},
        {true, QuestionReply::CloseBox, true},
        {false, QuestionReply::CloseBox, false},
    };
    for (const Case& c : cases) {
        const auto asked = answerNextQuestion(c.reply);
        const bool answer = askyesno(QStringLiteral("Slette varen?"), c.defaultAnswer);
        const std::string what = std::string(replyName(c.reply)) + " with default " + (c.defaultAnswer ? "yes" : "no");
        ASSERT_TRUE(asked->asked) << what;
        EXPECT_EQ(answer, c.answer) << what;
        EXPECT_EQ(asked->text, QStringLiteral("Slette varen?")) << what;
        EXPECT_EQ(asked->focused, c.defaultAnswer ? QStringLiteral("JaKnapp") : QStringLiteral("NeiKnapp")) << what;
    }
}

TEST_F(Question, IsModalUnderTheNormalCursorAndReleasedAfterUse)
{
    QPointer<QDialog> shown;
    bool modal = false;
    bool normalCursor = false;
    // The busy cursor is up while the dialog builds its controls.
    int busyWhileBuilding = 0;
    struct Watch : QObject {
        int* busy;
        bool eventFilter(QObject* object, QEvent* event) override
        {
            if (event->type() == QEvent::ChildAdded && object->objectName() == QLatin1String("JaNeiForm")
                && QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor)
                ++*busy;
            return false;
        }
    } watch;
    watch.busy = &busyWhileBuilding;
    qApp->installEventFilter(&watch);

    const auto asked = answerNextQuestion(QuestionReply::ClickNei, [&](QDialog& dialog) {
        shown = &dialog;
        modal = dialog.isModal() && QApplication::activeModalWidget() == &dialog;
        normalCursor = QApplication::overrideCursor() == nullptr;
    });
    EXPECT_FALSE(askyesno(QStringLiteral("Lagre?"), true));
    qApp->removeEventFilter(&watch);
    ASSERT_TRUE(asked->asked);

    EXPECT_GT(busyWhileBuilding, 0);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(normalCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_FALSE(shown.isNull());
    EXPECT_FALSE(shown->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
}

TEST_F(Question, GrowsToTheQuestionButNeverBelowItsDesignWidth)
{
    const QString shortQuestion = QStringLiteral("Slette?");
    // Wider than the design, narrower than the screen (a wider one is wrapped, below).
    QFont questionFont(QStringLiteral("Arial"));
    questionFont.setPixelSize(13);
    questionFont.setBold(true);
    QString longQuestion = QStringLiteral("Vil du virkelig slette denne varen fra prislisten");
    while (QFontMetrics(questionFont).horizontalAdvance(longQuestion) + 50 <= 650)
        longQuestion += QStringLiteral(" og alle bildene");

    for (const QString& question : {shortQuestion, longQuestion}) {
        int measured = 0;
        QRect outer, client, label, ja, nei;
        const auto asked = answerNextQuestion(QuestionReply::Escape, [&](QDialog& dialog) {
            measured = QFontMetrics(dialog.font()).horizontalAdvance(question);
            outer = dialog.frameGeometry();
            client = dialog.geometry();
            label = dialog.findChild<QLabel*>(QStringLiteral("Label1"))->geometry();
            ja = dialog.findChild<QPushButton*>(QStringLiteral("JaKnapp"))->geometry();
            nei = dialog.findChild<QPushButton*>(QStringLiteral("NeiKnapp"))->geometry();
        });
        askyesno(question, false);
        ASSERT_TRUE(asked->asked);

        if (question == shortQuestion) {
            ASSERT_LT(measured + 50, 464);
            EXPECT_EQ(client.size(), QSize(464, 116));
        } else {
            ASSERT_GT(measured + 50, 650);
            ASSERT_LE(measured + 50, QGuiApplication::primaryScreen()->availableGeometry().width());
            EXPECT_EQ(outer.width(), measured + 50);
            EXPECT_EQ(client.height(), 116);
        }
        EXPECT_EQ(label, QRect(0, 25, client.width(), 25)) << question.toStdString();
        EXPECT_EQ(ja, QRect(80, 72, 137, 25)) << question.toStdString();
        EXPECT_EQ(nei, QRect(256, 72, 137, 25)) << question.toStdString();
    }
}

TEST_F(Question, CentresOnTheLastPlacedWindowAndStaysOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case { WindowRect over; bool onScreen; } cases[] = {
        {{100, 801, 601, 50}, true},       // odd sizes: halves truncated
        {{3000, 1000, 700, 2000}, false},  // beyond the screen: pulled back to its corner
        {{0, 0, 0, 0}, false},             // nothing placed yet: centred on the corner, pushed in
        {{-1500, 459, 460, -900}, false},  // far off the screen: pulled back
    };
    for (const Case& c : cases) {
        WindowPlacement::instance().lastPlaced = c.over;
        const auto asked = answerNextQuestion(QuestionReply::Enter);
        askyesno(QStringLiteral("Fortsette?"), true);
        ASSERT_TRUE(asked->asked);
        const QRect frame = asked->frame;
        int top = c.over.top + c.over.height / 2 - frame.height() / 2;
        int left = c.over.left + c.over.width / 2 - frame.width() / 2;
        if (!c.onScreen) {
            left = std::clamp(left, area.left(), area.right() + 1 - frame.width());
            top = std::clamp(top, area.top(), area.bottom() + 1 - frame.height());
        }
        EXPECT_TRUE(area.contains(frame)) << c.over.left;
        EXPECT_EQ(frame.top(), top) << c.over.left;
        EXPECT_EQ(frame.left(), left) << c.over.left;
    }
}

TEST_F(Question, ShowsItsTextAsWrittenNeverAsMarkup)
{
    for (const char* text : {"Vil du slette posten Vase <b>stor</b> blå?", "Vil du slette posten Roser <tulipaner og liljer?",
                             "Vil du slette posten <i>Lilje</i> &amp; co?"}) {
        const QString question = QString::fromUtf8(text);
        int shownWidth = 0;
        int textWidth = 0;
        const auto asked = answerNextQuestion(QuestionReply::Escape, [&](QDialog& dialog) {
            auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
            shownWidth = label->sizeHint().width();
            textWidth = QFontMetrics(label->font()).horizontalAdvance(question);
        });
        askyesno(question, false);
        ASSERT_TRUE(asked->asked) << text;
        EXPECT_EQ(asked->text, question);
        // Markup would hide its tags (and what follows a "<"): the text would be narrower.
        EXPECT_GE(shownWidth, textWidth) << text;
    }
}

TEST_F(Question, AlwaysLiesWhollyOnTheScreenWithTheWholeQuestion)
{
    QString words = QStringLiteral("Vase stor blå ");
    while (words.size() < 128)
        words += QStringLiteral("med lange grønne blader ");
    words.truncate(128);
    struct Case { const char* what; QString text; WindowRect over; } cases[] = {
        {"128 characters of words", words, {100, 400, 300, 100}},
        {"128 characters without a blank", QString(128, QLatin1Char('W')), {100, 400, 300, 100}},
        {"a short question over a window off the screen", QStringLiteral("Roser"), {-1500, 459, 460, -900}},
        {"a long one over a window beyond the screen", words, {3000, 1000, 700, 2000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowPlacement::instance().lastPlaced = c.over;
        const QString question = QStringLiteral("Vil du slette posten ") + c.text + QLatin1Char('?');
        QRect area, frame, client, ja, nei, label;
        int textWidth = 0;
        int lineHeight = 1;
        const auto asked = answerNextQuestion(QuestionReply::Enter, [&](QDialog& dialog) {
            area = dialog.screen()->availableGeometry();
            frame = dialog.frameGeometry();
            client = dialog.geometry();
            auto* l = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
            label = l->geometry();
            textWidth = QFontMetrics(l->font()).horizontalAdvance(question);
            lineHeight = QFontMetrics(l->font()).height();
            const auto global = [&](const char* name) {
                auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
                return QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
            };
            ja = global("JaKnapp");
            nei = global("NeiKnapp");
        });
        EXPECT_TRUE(askyesno(question, true));
        ASSERT_TRUE(asked->asked);
        EXPECT_EQ(asked->text, question);
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        EXPECT_TRUE(area.contains(ja) && area.contains(nei));
        EXPECT_GE(client.width(), 464);
        // Its label holds lines enough for the whole question, above the buttons.
        EXPECT_GE(label.height() / lineHeight * label.width(), textWidth);
        EXPECT_LE(label.bottom(), ja.top() - client.top());
    }
}
