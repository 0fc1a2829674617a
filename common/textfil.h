#pragma once
// The log: one process-wide list of time-stamped lines, carried from run to run in one
// file per program under APPDATA/Kvarnelo/log/. Only ClearLog and finalize write the file.
// The lines of earlier runs stay in the file and are never read into the list: finalize
// adds this run's lines to the file as it is then, so the cost of a run does not grow
// with the file, and two copies of the program running at once both keep their lines.

#include <QString>
#include <QStringList>

class Log {
public:
    static Log& instance();

    // Empty list, counts 0, switches off; the file path from APPDATA and the program name.
    void initialize(const QString& programPath);
    // Adds the lines of the list that are not yet in the file to its end, under a lock
    // (a missing file, or folder, is made: temporary file + rename), and empties the list;
    // false when the file could not be written (the old file is then left as it was).
    // Never throws.
    bool finalize();
    // The operating system's error number of the failed finalize.
    int lastError() const { return lastError_; }

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
    QStringList lines_; // this run's lines
    qsizetype linesInFile_ = 0; // how many of them, from the first, the file already holds
    QString path_;
    bool unreadableFile_ = false; // the file exists but could not be read: never overwritten
    int unreadableError_ = 0;
    int lastError_ = 0;
};

void WriteLog(const QString& message);
void ClearLog();
void LoadLog();
// The verbose switch, read by callers that log detail lines.
bool verboseLogging();
