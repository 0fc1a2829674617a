#include "common/errors.h"

Error::Error(QString message, QString className)
    : message_(std::move(message)), className_(std::move(className)), what_(message_.toStdString())
{
}

QString withFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}
