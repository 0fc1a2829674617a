#pragma once
// One file of an export, written under a temporary name in its folder and renamed to its
// final name only when complete: a failure or a cancel never leaves a half file under the
// final name, and nothing is written outside the folder.

#include <QString>
#include <QTemporaryFile>

class QIODevice;

class ExportFile {
public:
    // Checks the folder (a real folder, not a link, writable) and that the final name is
    // free or a plain file, and opens the temporary file. Throws Error naming the folder.
    ExportFile(const QString& folder, const QString& name);
    ~ExportFile(); // removes the temporary file unless committed
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    QIODevice& device() { return temp_; }
    const QString& path() const { return path_; }
    // Closes the temporary file and renames it over the final name; throws Error.
    void commit();

private:
    QString folder_;
    QString path_;
    QTemporaryFile temp_;
};

// Throws Error when folder is missing, a link or cannot be written into.
void checkExportFolder(const QString& folder);
