#pragma once
// The log: one process-wide list of time-stamped lines, carried from run to run in one
// file per program under APPDATA/Kvarnelo/log/. Only ClearLog and finalize write the file.

#include <QString>
#include <QStringList>

class Log {
public:
    static Log& instance();

    // Empty list, counts 0, switches off; the file path from APPDATA and the program name.
    void initialize(const QString& programPath);
    // Writes the whole list to the file (atomically); never throws.
    void finalize();

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
    QByteArray byteOrderMark_; // kept from the loaded file and written back
};

void WriteLog(const QString& message);
void ClearLog();
void LoadLog();
// The verbose switch, read by callers that log detail lines.
bool verboseLogging();
