#include "common/shellexec.h"

#include <windows.h>
#include <shellapi.h>

namespace nativeshell {

void open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder)
{
    const std::wstring quotedFile = L"\"" + file + L"\"";
    ShellExecuteW(nullptr, nullptr, quotedFile.c_str(), parameters.c_str(),
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

}
