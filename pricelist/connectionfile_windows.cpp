#include "pricelist/connectionfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The folder's rights (ProgramData\Kvarnelo, administrators only) guard the password here.
QString connectionFilePath()
{
    const QString chosen = qEnvironmentVariable("PRISLISTE_CONNECTION_FILE");
    if (!chosen.isEmpty())
        return chosen;
    return QDir::toNativeSeparators(qEnvironmentVariable("PROGRAMDATA") + QStringLiteral("/Kvarnelo/tilkobling.ini"));
}

bool readConnectionFile(const QString& path, ConnectionSettings& settings)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    if (info.isSymLink())
        throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1 er en lenke; den må være en vanlig fil").arg(path));
    if (!info.isFile() || info.size() > 64 * 1024)
        throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1 er ikke en vanlig fil på høyst 64 KiB").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ConnectionFileError(QStringLiteral("Tilkoblingsfilen %1 kan ikke leses (%2)").arg(path, file.errorString()));
    ConnectionSettings read = settings;
    applyConnectionText(file.read(64 * 1024), path, read);
    settings = read;
    return true;
}
