#pragma once
// The one seam for message boxes: every box of the program goes through showMessage, so
// tests read and answer them without a screen (setMessageHandler).

#include <QString>
#include <functional>

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

struct MessageRequest {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageHandler = std::function<MessageAnswer(const MessageRequest&)>;

// Shows a modal box (QMessageBox, the text as plain text) unless a handler is installed.
MessageAnswer showMessage(const MessageRequest& request);

// Installs a handler in place of the real box; an empty handler restores the box.
void setMessageHandler(MessageHandler handler);

// The common library's own error box: caption "FEIL", one OK button, no icon.
void showFeil(const QString& text);
