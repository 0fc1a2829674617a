#include "common/startup.h"

#include "common/fileops.h"
#include "common/foldertree.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "common/tempfiles.h"
#include "common/textfil.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (argument == QLatin1String("--debug")) {
            line.debug = true;
        } else if (argument == QLatin1String("-install")) {
            line.install = true;
        } else if (argument == QLatin1String("-ip")) {
            line.hasAddress = true;
            line.address = next;
        } else if (argument == QLatin1String("--user")) {
            line.hasUser = true;
            line.user = next;
        } else if (argument == QLatin1String("--export") || argument.startsWith(QLatin1String("--export="))) {
            // A second switch adds its formats to the first one's.
            const QString formats = argument.size() > 8 ? argument.mid(9) : next;
            line.exportFormats = line.hasExport ? line.exportFormats + QLatin1Char(',') + formats : formats;
            line.hasExport = true;
        }
    }
    return line;
}

namespace {
QString settingsFileLocation(const QString& name)
{
    const QChar sep = Platform::separator();
    const QString etc = kvarnelobase() + QStringLiteral("etc") + sep;
    QString folder = QFileInfo(QDir::current().filePath(name)).isFile()
        ? QDir::toNativeSeparators(QDir::currentPath()) + sep
        : etc;
    if (!QFileInfo(folder).isDir()) {
        folder = etc;
        QDir().mkpath(folder);
    }
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(folder + name)));
}
}

void startup(const QStringList& arguments, const QString& programPath)
{
    Log& log = Log::instance();
    log.initialize(programPath);
    SettingsStore& store = SettingsStore::instance();
    store.reset();
    store.programPath = programPath;

    const CommandLine line = parseCommandLine(arguments);
    if (line.debug || line.install)
        log.logging = log.verbose = true;
    if (line.hasAddress)
        store.addressOverride = line.address;
    if (line.hasUser)
        store.userOverride = line.user;

    store.settingsFilePath = settingsFileLocation(store.settingsFilePath);
    store.settingsFolder = QDir::toNativeSeparators(QFileInfo(store.settingsFilePath).absolutePath());
    if (!store.settingsFolder.endsWith(Platform::separator()))
        store.settingsFolder += Platform::separator();
    openini(store.settingsFilePath);
    setfolder(QStringLiteral("etc"), store.settingsFolder);

    if (line.install || !QFileInfo(kvarnelobase() + QStringLiteral("data")).isDir())
        installfolders();

    log.logging = readinibool(QStringLiteral("LogToFile"));
    if (readinibool(QStringLiteral("ClearLogFileOnStartup")))
        ClearLog();
    LoadLog();
    if (readinibool(QStringLiteral("DeleteTemporaryFiles")))
        deletetempfiles(readinibool(QStringLiteral("DeleteSystemTemporaryFiles")));
    checklogfolder();
    if (!log.verbose)
        log.verbose = readinibool(QStringLiteral("VerboseLogging")) && log.logging;

    if (log.logging) {
        WriteLog(QStringLiteral("START: ") + programPath);
        WriteLog(QStringLiteral("INIFIL: ") + store.settingsFilePath);
        WriteLog(QStringLiteral("BRUKER: ") + currentuser());
        if (log.verbose)
            WriteLog(logintext());
    }
    // Said even with logging off: the file that would have turned it on is the one unread.
    if (store.documentUnreadable) {
        const bool logging = log.logging;
        log.logging = true;
        WriteLog(unreadablewarning());
        log.logging = logging;
    }
}

void shutdown()
{
    closeini();
    Log& log = Log::instance();
    if (log.verbose) {
        WriteLog(QStringLiteral("AVSLUTTER PROGRAM. ") + QString::number(log.errorCount)
                 + QStringLiteral(" feilmeldinger og ") + QString::number(log.warningCount) + QStringLiteral(" advarsler"));
        if (log.hintCount > 0)
            WriteLog(QStringLiteral("Det ble gitt ") + QString::number(log.hintCount) + QStringLiteral(" hint i programmet"));
    }
    const QString path = log.path();
    if (!log.finalize())
        std::fprintf(stderr, "prisliste: the log file %s could not be written: %s\n", qPrintable(path),
                     qPrintable(systemErrorText(log.lastError())));
}
