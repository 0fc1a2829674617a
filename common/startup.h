#pragma once
// The program's frame: what runs before the first window and after the last one.

#include <QString>
#include <QStringList>

struct CommandLine {
    bool debug = false;   // "--debug"
    bool install = false; // "-install"
    bool hasAddress = false;
    QString address; // "-ip" value
    bool hasUser = false;
    QString user; // "--user" value
    bool hasExport = false;
    QString exportFormats; // "--export" values, joined by commas: the export without a window
};

// Every argument is compared with every switch, whole and case-sensitively; a switch's
// value is compared too; the last value wins; other arguments are ignored.
CommandLine parseCommandLine(const QStringList& arguments);

// Start-up: log, command line (arguments without the program itself), settings file,
// folder tree, log switches and old log, temporary files, start lines. programPath is
// the running program's full path. Runs once per process (tests: once per case).
void startup(const QStringList& arguments, const QString& programPath);

// Shutdown: settings file written back, summary logged, log file written. Never throws;
// a file that cannot be written does not keep the other from being written.
void shutdown();
