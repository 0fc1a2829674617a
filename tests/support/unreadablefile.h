#pragma once
// Makes a file that this process can write but not read, in folders it can write to:
// the folders from root down are opened to everyone, and a process running as root acts
// as "nobody" meanwhile.

#include <QFile>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

class UnreadableFile {
public:
    UnreadableFile(const QString& file, const QString& folder, const QString& root)
    {
        for (QString f = folder; f.startsWith(root); f = f.section(QLatin1Char('/'), 0, -2))
            ::chmod(QFile::encodeName(f).constData(), 0777);
        ::chmod(QFile::encodeName(file).constData(), 0222); // writable, not readable
        if (::geteuid() == 0 && ::seteuid(65534) == 0)
            dropped_ = true;
    }
    ~UnreadableFile()
    {
        if (dropped_)
            [[maybe_unused]] const int rc = ::seteuid(0);
    }
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

private:
    bool dropped_ = false;
};
