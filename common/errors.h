#pragma once
// Errors of the program: a class name (shown by the start-up error box) and a message.

#include <QString>
#include <exception>
#include <string>

class Error : public std::exception {
public:
    explicit Error(QString message, QString className = QStringLiteral("Exception"));
    const QString& message() const { return message_; }
    const QString& className() const { return className_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    QString message_;
    QString className_;
    std::string what_;
};

// Cancels the operation in progress; the general error report never shows it.
class SilentAbort : public Error {
public:
    SilentAbort() : Error(QStringLiteral("Operation aborted"), QStringLiteral("EAbort")) {}
};

// The error's text with a full stop added when its last character sorts after ".".
QString withFullStop(const QString& text);
