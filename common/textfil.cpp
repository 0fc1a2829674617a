#include "common/textfil.h"

#include "common/fileops.h"
#include "common/filewritelock.h"
#include "common/messages.h"
#include "common/platform.h"
#include "common/regional.h"
#include "common/textappend.h"
#include "common/textcodec.h"

#include <QDir>
#include <QFileInfo>

Log& Log::instance()
{
    static Log log;
    return log;
}

void Log::initialize(const QString& programPath)
{
    lines_.clear();
    linesInFile_ = 0;
    logging = false;
    verbose = false;
    errorCount = warningCount = hintCount = 0;
    unreadableFile_ = false;
    unreadableError_ = lastError_ = 0;
    const QChar sep = Platform::separator();
    path_ = platform().appData() + sep + QStringLiteral("Kvarnelo") + sep + QStringLiteral("log") + sep
        + QFileInfo(programPath).completeBaseName() + QStringLiteral(".log");
}

namespace {
QByteArray linesText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return encodeText(text, TextEncoding::Local8Bit);
}
}

bool Log::finalize()
{
    const QStringList pending = lines_.mid(linesInFile_);
    lines_.clear();
    linesInFile_ = 0;
    if (unreadableFile_) {
        lastError_ = unreadableError_;
        return false;
    }
    // A log folder removed while the program ran is made again rather than losing the run.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    FileWriteLock lock(path_);
    lastError_ = appendLines(path_, pending);
    if (nativefs::isMissing(lastError_))
        lastError_ = writeWholeFile(path_, linesText(pending));
    return lastError_ == 0;
}

void WriteLog(const QString& message)
{
    Log& log = Log::instance();
    if (!log.logging)
        return;
    // A line break in a message (a user name, a server's text) would forge lines of its own.
    log.lines_ << nowText() + QLatin1Char(' ') + oneLine(message);
    auto startsWith = [&](const char* tag) { return message.startsWith(QLatin1String(tag)); };
    if (startsWith("ERROR:") || startsWith("FEIL:"))
        ++log.errorCount;
    else if (startsWith("WARNING:") || startsWith("ADVARSEL:"))
        ++log.warningCount;
    else if (startsWith("HINT:"))
        ++log.hintCount;
}

void ClearLog()
{
    Log& log = Log::instance();
    const QString line = nowText() + QStringLiteral(" LOGGFIL TØMT (TextFile.ClearLog).");
    log.lines_ = QStringList{line};
    log.linesInFile_ = 0;
    int error = 0;
    {
        FileWriteLock lock(log.path_);
        error = writeWholeFile(log.path_, linesText(log.lines_));
    }
    if (error == 0) {
        log.unreadableFile_ = false;
        log.linesInFile_ = 1;
    } else {
        showFeil(QStringLiteral("Feil under oppretting av ny fil: ") + log.path_ + QStringLiteral("  (")
                 + QString::number(error) + QLatin1Char(')'));
    }
    log.errorCount = 0;
}

void LoadLog()
{
    // The old lines stay in the file; only whether it can be added to is looked at.
    Log& log = Log::instance();
    nativefs::Handle file = nativefs::noHandle;
    const int error = nativefs::openPlainFile(nativePath(log.path_), false, file);
    nativefs::closeFile(file);
    if (nativefs::isMissing(error))
        return;
    if (error) {
        log.unreadableFile_ = true;
        log.unreadableError_ = error;
        return;
    }
    log.lines_.clear();
    log.linesInFile_ = 0;
}

bool verboseLogging()
{
    return Log::instance().verbose;
}
