#include "common/textfil.h"

#include "common/fileops.h"
#include "common/messages.h"
#include "common/platform.h"
#include "common/regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <limits>

Log& Log::instance()
{
    static Log log;
    return log;
}

void Log::initialize(const QString& programPath)
{
    lines_.clear();
    logging = false;
    verbose = false;
    errorCount = warningCount = hintCount = 0;
    encoding_ = TextEncoding::Local8Bit;
    unreadableFile_ = false;
    const QChar sep = Platform::separator();
    path_ = platform().appData() + sep + QStringLiteral("Kvarnelo") + sep + QStringLiteral("log") + sep
        + QFileInfo(programPath).completeBaseName() + QStringLiteral(".log");
}

QByteArray Log::fileContent() const
{
    QString text;
    for (const QString& line : lines_)
        text += line + QStringLiteral("\r\n");
    return encodeText(text, encoding_);
}

bool Log::finalize()
{
    // A log folder removed while the program ran is made again rather than losing the run.
    if (!unreadableFile_ && !QFileInfo::exists(path_))
        QDir().mkpath(QFileInfo(path_).absolutePath());
    const bool written = !unreadableFile_ && writeWholeFile(path_, fileContent()) == 0;
    lines_.clear();
    return written;
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
    const int error = writeWholeFile(log.path_, log.fileContent());
    if (error == 0)
        log.unreadableFile_ = false;
    else
        showFeil(QStringLiteral("Feil under oppretting av ny fil: ") + log.path_ + QStringLiteral("  (")
                 + QString::number(error) + QLatin1Char(')'));
    log.errorCount = 0;
}

void LoadLog()
{
    Log& log = Log::instance();
    QByteArray bytes;
    const int error = readWholeFile(log.path_, bytes, std::numeric_limits<qint64>::max());
    if (nativefs::isMissing(error))
        return;
    if (error) {
        log.unreadableFile_ = true;
        return;
    }
    const DecodedText decoded = decodeText(bytes);
    log.encoding_ = decoded.encoding;
    log.lines_ = splitLines(decoded.text);
}

bool verboseLogging()
{
    return Log::instance().verbose;
}
