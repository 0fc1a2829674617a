#pragma once
// Answers the program's yes/no question (the modal window "JaNeiForm") from a timer, the
// way a user would: by clicking a button, by a key, or by the close box.
//
//   auto asked = answerNextQuestion(QuestionReply::ClickJa);
//   table.Delete();                       // puts the question
//   EXPECT_EQ(asked->text, "Slette ...?");

#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QDialog;

enum class QuestionReply { ClickJa, ClickNei, Enter, Escape, AltJ, AltN, CloseBox };

struct AskedQuestion {
    bool asked = false;
    QString text;        // the question as shown
    QString focused;     // object name of the button that had the focus when it showed
    QRect frame;         // the dialog's outer rectangle when it showed
};

// Waits (up to 10 s, then the test fails) for the next question to be shown modally,
// runs inspect on it when given, then replies. The result is filled in when it was asked;
// dropping it before a question came stops the waiting.
[[nodiscard]] std::shared_ptr<AskedQuestion> answerNextQuestion(QuestionReply reply,
                                                  std::function<void(QDialog&)> inspect = {});

// How a reply is named in failure messages ("Enter", "click on Ja", ...).
const char* replyName(QuestionReply reply);
