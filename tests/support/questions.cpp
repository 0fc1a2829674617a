#include "tests/support/questions.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// The question once it is shown, modal and active, so that keys and access keys reach it.
QDialog* shownQuestion()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->objectName() != QLatin1String("JaNeiForm") || !dialog->isVisible())
        return nullptr;
    if (QApplication::activeWindow() == dialog)
        return dialog;
    // On a busy machine the activation can lag behind the show: ask for it again.
    dialog->activateWindow();
    return nullptr;
}

// Gives up on a question that never became active, without leaving the test blocked in it.
void rejectOpenQuestion()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog && dialog->objectName() == QLatin1String("JaNeiForm"))
        dialog->reject();
}

// A reply that did not close the question fails the test instead of blocking it forever.
void closeIfStillOpen(QDialog* dialog, QuestionReply how)
{
    QPointer<QDialog> question(dialog);
    QTimer::singleShot(5000, qApp, [question, how] {
        if (question && question->isVisible()) {
            ADD_FAILURE() << "the question was still open after " << replyName(how);
            question->reject();
        }
    });
}

void reply(QDialog& dialog, QuestionReply how)
{
    QWidget* focus = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    switch (how) {
    case QuestionReply::ClickJa:
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("JaKnapp")), Qt::LeftButton);
        break;
    case QuestionReply::ClickNei:
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("NeiKnapp")), Qt::LeftButton);
        break;
    case QuestionReply::Enter:
        QTest::keyClick(focus, Qt::Key_Return);
        break;
    case QuestionReply::Escape:
        QTest::keyClick(focus, Qt::Key_Escape);
        break;
    case QuestionReply::AltJ:
        QTest::keyClick(focus, Qt::Key_J, Qt::AltModifier);
        break;
    case QuestionReply::AltN:
        QTest::keyClick(focus, Qt::Key_N, Qt::AltModifier);
        break;
    case QuestionReply::CloseBox:
        // Through the window system, as the title bar's close box does.
        if (dialog.windowHandle())
            dialog.windowHandle()->close();
        else
            dialog.close();
        break;
    }
}

} // namespace

std::shared_ptr<AskedQuestion> answerNextQuestion(QuestionReply how, std::function<void(QDialog&)> inspect)
{
    auto asked = std::make_shared<AskedQuestion>();
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    const std::weak_ptr<AskedQuestion> result = asked;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        const std::shared_ptr<AskedQuestion> asked = result.lock();
        if (!asked) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        QDialog* dialog = shownQuestion();
        if (!dialog) {
            if (clock->elapsed() > 10000) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no yes/no question was shown";
                rejectOpenQuestion();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        asked->asked = true;
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("Label1")))
            asked->text = label->text();
        if (dialog->focusWidget())
            asked->focused = dialog->focusWidget()->objectName();
        asked->frame = dialog->frameGeometry();
        if (inspect)
            inspect(*dialog);
        closeIfStillOpen(dialog, how);
        reply(*dialog, how);
    });
    timer->start();
    return asked;
}

const char* replyName(QuestionReply how)
{
    switch (how) {
    case QuestionReply::ClickJa: return "click on Ja";
    case QuestionReply::ClickNei: return "click on Nei";
    case QuestionReply::Enter: return "Enter";
    case QuestionReply::Escape: return "Esc";
    case QuestionReply::AltJ: return "Alt+J";
    case QuestionReply::AltN: return "Alt+N";
    case QuestionReply::CloseBox: return "close box";
    }
    return "?";
}
