#pragma once
// The settings store: one open INI document at a time with a current section, the
// folder lookup, the workstation identity and the per-user file switch.

#include "common/inidocument.h"

#include <QSet>
#include <QString>
#include <optional>

class SettingsStore {
public:
    static SettingsStore& instance();

    std::optional<IniDocument> document; // the open document
    QString documentPath;                // the file it is bound to
    QString settingsFilePath = QStringLiteral("kvarnelo.ini");
    QString settingsFolder;              // ends in the separator
    QString currentSection = QStringLiteral("STANDARD");
    QString userName;
    QString userOverride;
    QString addressOverride;
    QString programPath; // the running program; start-up sets it (else the application's)
    bool documentUnreadable = false; // its file exists but could not be read: never overwritten
    int loadError = 0;               // why, the operating system's error number
    QSet<QString> reportedFailures;  // failed writes and unreadable files already logged

    // Writes the open document to its file; false when it could not (nothing thrown).
    // A failed write is logged once per file and reason as a "FEIL:" line.
    bool writeBack();
    // Back to the state before start-up (tests).
    void reset();
};

// Document
void openini(const QString& path);
void openuserini();
void openmainini();
void closeini();
// The "ADVARSEL:" line for an open document whose file exists but cannot be read, so is
// left alone: names the file and the reason.
QString unreadablewarning();
// The per-user file: settings folder + a file name made safe from currentuser + ".INI".
QString userinipath();

// Current section
void setsection(const QString& name);
void resetsection();

// Typed values of the current section
QString readinistring(const QString& key);
bool readinibool(const QString& key);
int readiniinteger(const QString& key);
void writeinistring(const QString& key, const QString& value);
void writeinibool(const QString& key, bool value);
void writeiniinteger(const QString& key, int value);

// Folders: the name keeps its backslashes in the key ("data\docs_folder").
void setfolder(const QString& name, const QString& path);
QString kvarnelopath(const QString& name);
// APPDATA + separator + "Kvarnelo" + separator.
QString kvarnelobase();

// Identity
QString currentuser();
QString loginname();
QString computername();
QString domainname();
QString ipaddress();
QString logintext();
