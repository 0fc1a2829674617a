#include "common/foldertree.h"

#include "common/fileops.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "common/textfil.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString localName(const QString& name)
{
    return QString(name).replace(QLatin1Char('\\'), Platform::separator());
}

QString folderOf(const QString& filePath)
{
    return QDir::toNativeSeparators(QFileInfo(filePath).absolutePath()) + Platform::separator();
}
}

const QStringList& treeFolderNames()
{
    static const QStringList names = {
        "archive", "backup", "data", "data\\dorvalin", "data\\lumba", "data\\rw2", "data\\docs", "data\\kbl",
        "etc", "export", "export\\xml", "export\\pdf", "export\\csv", "export\\html", "export\\html\\varer",
        "import", "images", "spool", "tmp", "xml", "log", "maler", "maler\\docs", "maler\\rw2"};
    return names;
}

void installfolders()
{
    setfolder(QStringLiteral("bin"), folderOf(SettingsStore::instance().programPath));
    const QString bin = kvarnelopath(QStringLiteral("bin"));
    setfolder(QStringLiteral("doc"),
              QDir::toNativeSeparators(QDir::cleanPath(QDir(bin).absoluteFilePath(QStringLiteral("../doc")))));
    const QString base = kvarnelobase();
    if (!QFileInfo(base).isDir())
        QDir().mkpath(base);
    for (const QString& name : treeFolderNames()) {
        mkdirsafe(base + localName(name));
        setfolder(name, base + localName(name));
    }
}

void mkdirsafe(const QString& path)
{
    const int error = nativefs::makeDirectory(nativePath(path));
    if (error == 0)
        WriteLog(QStringLiteral("Oppretter mappen ") + path);
    else
        WriteLog(QStringLiteral("FEIL: [mkdirsafe:") + QString::number(error) + QStringLiteral("] kan ikke opprette mappen ")
                 + path);
}

void checklogfolder()
{
    if (QFileInfo(kvarnelopath(QStringLiteral("log"))).isDir())
        return;
    setfolder(QStringLiteral("log"), kvarnelobase() + QStringLiteral("log") + Platform::separator());
    QDir().mkpath(kvarnelopath(QStringLiteral("log")));
}
