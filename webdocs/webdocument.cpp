#include "webdocs/webdocument.h"

#include "common/Felles.h"
#include "common/busycursor.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "common/textfil.h"
#include "webdocs/HttpDownload.h"
#include "webdocs/fetchpolicy.h"
#include "webdocs/httpurl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The name that the reference adds below its folder must stay below it: no ".." segment,
// nothing that is a path of its own. The references come from a shared database.
bool staysInFolder(const QString& name)
{
    if (name.startsWith(u'/') || name.startsWith(u'\\'))
        return false;
    if (Platform::separator() == u'\\' && name.contains(u':'))
        return false; // a drive ("C:x") or a stream name
    const QStringList segments = QString(name).replace(u'\\', u'/').split(u'/');
    return !segments.contains(QStringLiteral(".."));
}

// What a full address names on the local disk: its query ("?size=2") is for the server.
QString withoutQuery(const QString& reference)
{
    return reference.left(reference.indexOf(u'?'));
}

// A name that is empty (a reference that ends in its folder) would make the folder
// itself the target.
bool mayFetchAs(const QString& name)
{
    return !name.isEmpty() && staysInFolder(name);
}

bool fileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

// The folder part of a local path: up to and including its last separator (or drive colon).
QString folderOf(const QString& localPath)
{
    qsizetype last = localPath.lastIndexOf(Platform::separator());
    if (Platform::separator() == u'\\')
        last = std::max(last, localPath.lastIndexOf(u':'));
    return localPath.left(last + 1);
}

// A picture larger than this is shown from where it is, never copied.
constexpr qint64 placeLimit = 256 * 1024 * 1024;

// Creates the folder of localPath when it is missing (logged when verbose).
void makeFolderOf(const QString& localPath, const char* caller)
{
    const QString folder = folderOf(localPath);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        QDir().mkpath(folder);
        if (verboseLogging())
            WriteLog(QStringLiteral("Oppretter mappen :") + folder + QStringLiteral(" (webdocument.%1)").arg(QLatin1String(caller)));
    }
}

} // namespace

QString finddocument(const QString& reference, bool localonly)
{
    for (int n = 1; n <= 9; ++n) {
        const QString webFolder = readinistring(QStringLiteral("DOC_URL_TRANSELATE_0_%1").arg(n));
        if (webFolder.isEmpty() || !reference.startsWith(webFolder))
            continue;
        const QString remainder = withoutQuery(reference.mid(webFolder.size()));
        QString local = readinistring(QStringLiteral("DOC_URL_TRANSELATE_1_%1").arg(n)) + remainder;
        local.replace(u'/', Platform::separator());
        if (!localonly && mayFetchAs(remainder) && !fileExists(local))
            downloaddocument(reference, local);
        return local;
    }

    QString local;
    QString url;
    QString name;
    if (reference.contains(QStringLiteral("://"))) {
        name = stripslashes(withoutQuery(reference));
        url = reference;
    } else {
        name = reference;
        // A relative reference names a file: "?", "#", "%" and the rest are part of its name.
        url = readinistring(QStringLiteral("DOC_URL")) + fileNameInUrl(reference);
    }
    local = readinistring(QStringLiteral("DOC_LOCAL")) + name;
    if (!localonly && mayFetchAs(name) && !fileExists(local) && readinibool(QStringLiteral("DOC_URL_ACTIVE")))
        downloaddocument(url, local);
    return local;
}

DownloadResult downloaddocument(const QString& url, const QString& localPath)
{
    const FetchPolicy policy = FetchPolicy::fromSettings();
    if (policy.route(url) == FetchPolicy::Route::Refused) {
        const QString line = refusedFetchLine(url);
        WriteLog(line);
        return DownloadResult::refusal(line);
    }
    BusyCursor busy;
    makeFolderOf(localPath, "downloaddocument");
    return downloadtofile(localPath, url, policy);
}

void placedocument(const QString& reference, const QString& sourcePath)
{
    const QString target = finddocument(reference, true);
    const QFileInfo source(sourcePath);
    // Only a plain file: reading a FIFO or a device could block for ever.
    if (!source.isFile() || source.size() > placeLimit || QFileInfo::exists(target) || QFileInfo(target).isRelative()
        || QDir::fromNativeSeparators(target).split(u'/').contains(QStringLiteral("..")))
        return;
    BusyCursor busy;
    makeFolderOf(target, "placedocument");
    // QFile::copy writes beside the target and never replaces a file that came meanwhile.
    QFile copy(sourcePath);
    if (!copy.copy(target))
        WriteLog(QStringLiteral("ADVARSEL: Kunne ikke kopiere %1 til %2: %3 (webdocument.placedocument)")
                     .arg(sourcePath, target, copy.errorString()));
}
