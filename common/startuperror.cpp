#include "common/startuperror.h"

#include "common/errors.h"
#include "common/hs_reg.h"
#include "common/messages.h"

#include <QCoreApplication>
#include <QFileInfo>

QString startupErrorText(const std::exception& error, const QString& module, const void* address)
{
    const auto* own = dynamic_cast<const Error*>(&error);
    const QString className = own ? own->className() : QStringLiteral("Exception");
    QString message = own ? own->message() : QString::fromLocal8Bit(error.what());
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    const QString where = QStringLiteral("%1")
                              .arg(reinterpret_cast<quintptr>(address), int(sizeof(void*) * 2), 16, QLatin1Char('0'))
                              .toUpper();
    return QStringLiteral("Exception ") + className + QStringLiteral(" in module ") + module + QStringLiteral(" at ")
        + where + QStringLiteral(".\n") + message + QLatin1Char('\n');
}

void reportStartupError(const std::exception& error)
{
    QString program = SettingsStore::instance().programPath;
    if (program.isEmpty() && QCoreApplication::instance())
        program = QCoreApplication::applicationFilePath();
    const QString text = startupErrorText(error, QFileInfo(program).fileName(), &error);
    showMessage({QStringLiteral("Application Error"), text, MessageIcon::Error, MessageButtons::Ok});
}
