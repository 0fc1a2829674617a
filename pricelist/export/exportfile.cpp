#include "pricelist/export/exportfile.h"

#include "common/errors.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {
Error folderError(const QString& folder, const QString& why)
{
    return Error(QStringLiteral("Kan ikke skrive i eksportmappen %1: %2").arg(QDir::toNativeSeparators(folder), why));
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}
}

void checkExportFolder(const QString& folder)
{
    const QFileInfo info(folder.endsWith(QDir::separator()) || folder.endsWith(QLatin1Char('/')) ? folder.chopped(1)
                                                                                                    : folder);
    if (info.isSymLink())
        throw folderError(folder, QStringLiteral("mappen er en lenke"));
    if (!info.isDir())
        throw folderError(folder, QStringLiteral("mappen finnes ikke"));
    if (!info.isWritable())
        throw folderError(folder, QStringLiteral("ingen skrivetilgang"));
}

ExportFile::ExportFile(const QString& folder, const QString& name)
    : folder_(folder), path_(QDir(folder).filePath(name))
{
    checkExportFolder(folder);
    const QFileInfo target(path_);
    if (target.isSymLink() || (target.exists() && !target.isFile()))
        throw folderError(folder, QStringLiteral("%1 er ikke en vanlig fil").arg(name));
    temp_.setFileTemplate(QDir(folder).filePath(QStringLiteral(".") + name + QStringLiteral(".XXXXXX")));
    if (!temp_.open())
        throw folderError(folder, temp_.errorString());
    // Readable by others, like any file the user saves: the web page may be published.
    temp_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                         | QFileDevice::ReadOther);
}

ExportFile::~ExportFile() = default;

void ExportFile::commit()
{
    const bool written = temp_.flush() && temp_.error() == QFileDevice::NoError;
    const QString tempPath = temp_.fileName();
    temp_.close();
    if (!written)
        throw folderError(folder_, temp_.errorString());
    std::error_code error;
    std::filesystem::rename(fsPath(tempPath), fsPath(path_), error);
    if (error)
        throw folderError(folder_, QString::fromLocal8Bit(error.message().c_str()));
    temp_.setAutoRemove(false);
}
