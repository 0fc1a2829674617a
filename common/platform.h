#pragma once
// The workstation behind one small interface: environment, identity and the spool
// folder. Windows reads the registry; Linux follows the host's own sources.

#include <QString>
#include <QStringList>
#include <memory>

class Platform {
public:
    virtual ~Platform() = default;
    // An unset variable gives an empty text.
    virtual QString environment(const QString& name) const;
    // The application-data folder under which "Kvarnelo" lives, without a trailing
    // separator: APPDATA (empty when unset, as on Windows); Linux falls back to
    // $XDG_DATA_HOME or ~/.local/share.
    virtual QString appData() const;
    virtual QString loginName() const = 0;
    virtual QString computerName() const = 0;
    virtual QString domainName() const = 0;
    // The interfaces' addresses in the order the system lists them; a failed read is "0.0.0.0".
    virtual QStringList interfaceAddresses() const = 0;
    virtual QString spoolFolder() const = 0;
    // The separator of local folders: "\" on Windows, "/" elsewhere.
    static QChar separator();
};

// The process-wide platform; tests may replace it.
Platform& platform();
void setPlatform(std::unique_ptr<Platform> replacement);
