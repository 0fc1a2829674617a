#pragma once
// The message of the program's error that f throws, or "<no error>".

#include "common/errors.h"

#include <QString>
#include <functional>

inline QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}
