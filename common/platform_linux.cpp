#include "common/platform.h"

#include <QDir>
#include <QHostInfo>
#include <QNetworkInterface>

#include <pwd.h>
#include <unistd.h>

namespace {
class LinuxPlatform : public Platform {
public:
    QString appData() const override
    {
        QString folder = environment(QStringLiteral("APPDATA"));
        if (folder.isEmpty())
            folder = environment(QStringLiteral("XDG_DATA_HOME"));
        if (folder.isEmpty())
            folder = QDir::homePath() + QStringLiteral("/.local/share");
        while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        return folder;
    }

    QString loginName() const override
    {
        QString name = environment(QStringLiteral("USERNAME"));
        if (name.isEmpty())
            name = environment(QStringLiteral("USER"));
        if (name.isEmpty())
            if (const passwd* entry = ::getpwuid(::geteuid()))
                name = QString::fromLocal8Bit(entry->pw_name);
        return name;
    }

    QString computerName() const override { return QHostInfo::localHostName(); }
    QString domainName() const override { return QHostInfo::localDomainName(); }

    QStringList interfaceAddresses() const override
    {
        QStringList addresses;
        for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
            if (interface.flags().testFlag(QNetworkInterface::IsLoopBack))
                continue;
            QString address = QStringLiteral("0.0.0.0");
            for (const QNetworkAddressEntry& entry : interface.addressEntries())
                if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                    address = entry.ip().toString();
                    break;
                }
            addresses << address;
        }
        return addresses;
    }

    // No printer spool folder is cleaned on Linux.
    QString spoolFolder() const override { return {}; }
};
}

std::unique_ptr<Platform> makeSystemPlatform()
{
    return std::make_unique<LinuxPlatform>();
}
