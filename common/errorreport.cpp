#include "common/errorreport.h"

#include "common/messages.h"

#include <QCoreApplication>
#include <QFileInfo>

QString programTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    return QFileInfo(path).completeBaseName();
}

void reportError(const std::exception& error)
{
    if (dynamic_cast<const SilentAbort*>(&error))
        return;
    const auto* own = dynamic_cast<const Error*>(&error);
    const QString text = own ? own->message() : QString::fromLocal8Bit(error.what());
    showMessage({programTitle(), withFullStop(text), MessageIcon::Error, MessageButtons::Ok});
}
