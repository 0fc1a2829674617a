#include "common/platform.h"

#include <QHostInfo>

namespace {
class LinuxPlatform : public Platform {
public:
    QString loginName() const override
    {
        QString name = environment(QStringLiteral("USERNAME"));
        if (name.isEmpty())
            name = environment(QStringLiteral("USER"));
        return name;
    }
    QString computerName() const override { return QHostInfo::localHostName(); }
    QString domainName() const override { return QHostInfo::localDomainName(); }
    QStringList interfaceAddresses() const override { return {}; }
    QString spoolFolder() const override { return {}; }
};
}

std::unique_ptr<Platform> makeSystemPlatform()
{
    return std::make_unique<LinuxPlatform>();
}
