#pragma once
// A main window that cannot be created ends the program: the "Application Error" box.

#include <QString>
#include <exception>
#include <memory>
#include <utility>

// "Exception <class> in module <program file> at <address>." + line break + the message
// with a full stop unless it ends with one + line break.
QString startupErrorText(const std::exception& error, const QString& module, const void* address);

// Shows the box (caption "Application Error", error icon, OK) and returns when it is
// dismissed.
void reportStartupError(const std::exception& error);

// Creates the main window; when its constructor throws, shows the box and returns null.
template <class Window, class... Args>
std::unique_ptr<Window> createMainWindow(Args&&... args)
{
    try {
        return std::make_unique<Window>(std::forward<Args>(args)...);
    } catch (const std::exception& e) {
        reportStartupError(e);
    }
    return nullptr;
}
