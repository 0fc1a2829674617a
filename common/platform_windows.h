#pragma once
// The workstation's identity and spool folder as the Windows registry holds them, under
// HKEY_LOCAL_MACHINE. Free of Qt so that this source compiles alone.

#include <optional>
#include <string>
#include <vector>

namespace workstation {

// The value "Username" of Network\Logon; nothing when that key cannot be opened (the
// caller then takes the environment variable USERNAME).
std::optional<std::wstring> logonUserName();
std::wstring computerName();
// "Domain", or "DhcpDomain" when that is empty.
std::wstring domainName();
// One address per interface, in the registry's order: "DhcpIPAddress", or "IPAddress"
// when that is empty or "0.0.0.0"; "0.0.0.0" when either cannot be read as one text.
std::vector<std::wstring> interfaceAddresses();
std::wstring spoolFolder();

} // namespace workstation
