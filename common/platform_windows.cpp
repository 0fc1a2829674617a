#include "common/platform_windows.h"

#include <windows.h>

namespace {

// Every key is opened for full access and created when missing, as the program has
// always opened them.
class Key {
public:
    Key(HKEY parent, const std::wstring& path)
    {
        if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &handle_, nullptr)
            != ERROR_SUCCESS)
            handle_ = nullptr;
    }
    ~Key()
    {
        if (handle_)
            RegCloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    HKEY handle() const { return handle_; }

    // An absent value reads as empty text; a value that is not one text cannot be read.
    std::optional<std::wstring> readString(const std::wstring& name) const
    {
        if (!handle_)
            return std::wstring();
        DWORD type = 0;
        DWORD size = 0;
        LONG result = RegQueryValueExW(handle_, name.c_str(), nullptr, &type, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND)
            return std::wstring();
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        result = RegQueryValueExW(handle_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        text.resize(bytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        return text;
    }

    std::wstring readStringOrEmpty(const std::wstring& name) const { return readString(name).value_or(std::wstring()); }

    std::vector<std::wstring> subKeyNames() const
    {
        std::vector<std::wstring> names;
        if (!handle_)
            return names;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD length = 256;
            const LONG result = RegEnumKeyExW(handle_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result != ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        return names;
    }

private:
    HKEY handle_ = nullptr;
};

const wchar_t* const tcpipParameters = L"System\\CurrentControlSet\\Services\\TCPIP\\Parameters";
const std::wstring noAddress = L"0.0.0.0";

} // namespace

namespace workstation {

std::optional<std::wstring> logonUserName()
{
    const Key key(HKEY_LOCAL_MACHINE, L"Network\\Logon");
    if (!key.isOpen())
        return std::nullopt;
    return key.readStringOrEmpty(L"Username");
}

std::wstring computerName()
{
    const Key key(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName");
    return key.readStringOrEmpty(L"ComputerName");
}

std::wstring domainName()
{
    const Key key(HKEY_LOCAL_MACHINE, tcpipParameters);
    std::wstring domain = key.readStringOrEmpty(L"Domain");
    if (domain.empty())
        domain = key.readStringOrEmpty(L"DhcpDomain");
    return domain;
}

std::vector<std::wstring> interfaceAddresses()
{
    std::vector<std::wstring> addresses;
    const Key interfaces(HKEY_LOCAL_MACHINE, std::wstring(tcpipParameters) + L"\\Interfaces");
    for (const std::wstring& name : interfaces.subKeyNames()) {
        const Key key(interfaces.handle(), name);
        std::optional<std::wstring> address = key.readString(L"DhcpIPAddress");
        if (address && (address->empty() || *address == noAddress))
            address = key.readString(L"IPAddress");
        addresses.push_back(address.value_or(noAddress));
    }
    return addresses;
}

std::wstring spoolFolder()
{
    const Key key(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Print\\Printers");
    return key.readStringOrEmpty(L"DefaultSpoolDirectory");
}

} // namespace workstation
