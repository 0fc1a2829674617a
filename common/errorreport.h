#pragma once
// The general error report and the wrapper that keeps exceptions out of Qt frames.

#include "common/errors.h"

#include <exception>
#include <utility>

// The program's title: the running program's file name without its extension.
QString programTitle();

// Shows the error in a box captioned with the program's title, error icon, one OK
// button, the text with its full stop. A SilentAbort shows nothing.
void reportError(const std::exception& error);

// Runs f; any exception it throws goes to reportError. Every slot and event override
// that can throw runs through this.
template <class F>
void guarded(F&& f) noexcept
{
    try {
        std::forward<F>(f)();
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportError(Error(QStringLiteral("Unknown error")));
    }
}
