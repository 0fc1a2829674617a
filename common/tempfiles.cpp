#include "common/tempfiles.h"

#include "common/fileops.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "common/textfil.h"

#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>
#include <QLocale>

namespace {
bool containsUpper(const QString& text, const char* word)
{
    return QLocale().toUpper(text).contains(QLatin1String(word));
}

class BusyCursor {
public:
    BusyCursor()
        : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (active_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool active_;
};
}

void deletetempfiles(bool system)
{
    const QChar sep = Platform::separator();
    WriteLog(QStringLiteral("Sletter midlertidige filer opprettet av Kvarnelo programmer"));
    const QString tmp = kvarnelopath(QStringLiteral("tmp"));
    if (tmp.size() > 3 && containsUpper(tmp, "TMP"))
        cleanfolder(tmp);
    if (!system)
        return;
    const QString temp = platform().environment(QStringLiteral("TEMP")) + sep;
    if (temp.size() > 3 && containsUpper(temp, "TEMP")) {
        WriteLog(QStringLiteral("Sletter midlertidige filer i Windows"));
        cleanfolder(temp);
        cleanfolder(platform().environment(QStringLiteral("WINDIR")) + sep + QStringLiteral("temp") + sep);
    }
    const QString spool = spoolfolder();
    if (containsUpper(spool, "SPOOL")) {
        WriteLog(QStringLiteral("Sletter skriverkøer"));
        cleanfolder(spool);
    }
}

void cleanfolder(const QString& folder)
{
    QString path = folder;
    if (!path.endsWith(Platform::separator()))
        path += Platform::separator();
    if (path.size() >= 7 && QFileInfo(path).isDir())
        deletetree(path, path);
}

void deletetree(const QString& folder, const QString& start)
{
    // A folder that is itself a link or junction is not entered: what it leads to is
    // someone else's. Links inside the tree are removed as entries below.
    if (nativefs::isLink(nativePath(folder)))
        return;
    BusyCursor busy;
    const bool verbose = verboseLogging();
    if (verbose)
        WriteLog(QStringLiteral("Sletter mappen ") + folder);
    std::vector<nativefs::Entry> entries;
    nativefs::listDirectory(nativePath(folder), entries);
    for (const nativefs::Entry& entry : entries) {
        const QString name = fromNativePath(entry.name);
        const QString path = folder + name;
        if (entry.kind == nativefs::EntryKind::Directory) {
            deletetree(path + Platform::separator(), start);
            continue;
        }
        if (entry.readOnly && entry.kind == nativefs::EntryKind::File)
            nativefs::clearReadOnly(nativePath(path));
        if (verbose)
            WriteLog(QStringLiteral("Sletter ") + path);
        const int error = entry.kind == nativefs::EntryKind::Link ? nativefs::removeLink(nativePath(path))
                                                                  : nativefs::removeFile(nativePath(path));
        if (error != 0)
            WriteLog(QStringLiteral("FEIL: kan ikke slette filen ") + path);
    }
    if (folder != start && nativefs::removeDirectory(nativePath(folder)) != 0)
        WriteLog(QStringLiteral("FEIL: kan ikke slette mappen ") + folder);
}

QString spoolfolder()
{
    return platform().spoolFolder();
}
