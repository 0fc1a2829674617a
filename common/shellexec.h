#pragma once
// The Windows shell's default action, free of Qt so that the Windows source can be
// compiled alone. Used by shellopen on Windows only.

#include <string>

namespace nativeshell {

// ShellExecute with no verb and no owner window: file wrapped in double quotes,
// parameters as given, folder as the working folder (none when it is empty; a quoted
// folder is not a folder to the shell), the window shown normally. The shell's result is
// not examined.
void open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder);

}
