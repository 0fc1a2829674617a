#pragma once
// The log: one process-wide list of time-stamped lines, carried from run to run in one
// file per program under APPDATA/Kvarnelo/log/. Only ClearLog and finalize write the file.

#include "common/textcodec.h"

#include <QString>
#include <QStringList>

class Log {
public:
    static Log& instance();

    // Empty list, counts 0, switches off; the file path from APPDATA and the program name.
    void initialize(const QString& programPath);
    // Writes the whole list to the file (temporary file + rename, the folder made when it
    // is missing) and empties the list; false when the file could not be written (the old
    // file is then left as it was).
    // Never throws.
    bool finalize();

    const QStringList& lines() const { return lines_; }
    const QString& path() const { return path_; }
    bool logging = false;
    bool verbose = false;
    int errorCount = 0;
    int warningCount = 0;
    int hintCount = 0;

private:
    friend void WriteLog(const QString&);
    friend void ClearLog();
    friend void LoadLog();
    QStringList lines_;
    QString path_;
    QByteArray fileContent() const;
    TextEncoding encoding_ = TextEncoding::Local8Bit; // kept from the loaded file
    bool unreadableFile_ = false; // the file exists but could not be read: never overwritten
};

void WriteLog(const QString& message);
void ClearLog();
void LoadLog();
// The verbose switch, read by callers that log detail lines.
bool verboseLogging();
