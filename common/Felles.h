#pragma once
// Small helpers shared by the program's windows.

#include <QString>

// The part of text after its last "/"; empty when text ends in "/", text itself when it
// has none. A backslash is an ordinary character here.
QString stripslashes(const QString& text);
