#pragma once
// A shop's shared folder as an administrator sets it up: the folder is not the user's to
// write, the files in it are. Run as root, the folder belongs to root, the files to
// "nobody", and the process acts as "nobody" meanwhile; run as another user, the folder
// is made read-only. The folders from root down are opened for passing through.

#include <QFile>
#include <QString>
#include <QStringList>
#include <sys/stat.h>
#include <unistd.h>

class SharedFolder {
public:
    static constexpr uid_t user = 65534;

    SharedFolder(const QString& folder, const QStringList& files, const QString& root) : folder_(folder)
    {
        for (QString f = folder; f.startsWith(root); f = f.section(QLatin1Char('/'), 0, -2))
            ::chmod(QFile::encodeName(f).constData(), 0755);
        if (asRoot()) {
            for (const QString& file : files) {
                [[maybe_unused]] const int rc = ::chown(QFile::encodeName(file).constData(), user, user);
                ::chmod(QFile::encodeName(file).constData(), 0644);
            }
            dropped_ = ::seteuid(user) == 0;
        } else {
            ::chmod(QFile::encodeName(folder).constData(), 0555);
        }
    }
    ~SharedFolder()
    {
        if (dropped_)
            [[maybe_unused]] const int rc = ::seteuid(0);
        ::chmod(QFile::encodeName(folder_).constData(), 0755);
    }
    SharedFolder(const SharedFolder&) = delete;
    SharedFolder& operator=(const SharedFolder&) = delete;

    // Root can also leave a file in the folder that the user cannot write either.
    static bool asRoot() { return ::getuid() == 0; }

private:
    QString folder_;
    bool dropped_ = false;
};
