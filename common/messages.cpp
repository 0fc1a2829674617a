#include "common/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageHandler& installedHandler()
{
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
}

MessageAnswer showMessage(const MessageRequest& request)
{
    if (installedHandler())
        return installedHandler()(request);
    QMessageBox box(toQtIcon(request.icon), request.caption, QString(),
                    request.buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                                : QMessageBox::Ok,
                    QApplication::activeWindow());
    // The texts carry product texts and server messages: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void setMessageHandler(MessageHandler handler)
{
    installedHandler() = std::move(handler);
}

void showFeil(const QString& text)
{
    showMessage({QStringLiteral("FEIL"), text, MessageIcon::None, MessageButtons::Ok});
}
