#include "common/platform.h"
#include "common/platform_windows.h"

namespace {
QString fromWide(const std::wstring& text)
{
    return QString::fromStdWString(text);
}

class WindowsPlatform : public Platform {
public:
    QString loginName() const override
    {
        const std::optional<std::wstring> name = workstation::logonUserName();
        return name ? fromWide(*name) : environment(QStringLiteral("USERNAME"));
    }
    QString computerName() const override { return fromWide(workstation::computerName()); }
    QString domainName() const override { return fromWide(workstation::domainName()); }
    QStringList interfaceAddresses() const override
    {
        QStringList addresses;
        for (const std::wstring& address : workstation::interfaceAddresses())
            addresses << fromWide(address);
        return addresses;
    }
    QString spoolFolder() const override { return fromWide(workstation::spoolFolder()); }
};
}

std::unique_ptr<Platform> makeSystemPlatform()
{
    return std::make_unique<WindowsPlatform>();
}
