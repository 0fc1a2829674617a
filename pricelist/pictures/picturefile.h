#pragma once
// A picture file opened for reading through the native file layer. Only a regular file
// (or a link to one) opens: a FIFO, a device or a folder is refused at once, without
// waiting for a writer or reading endless data.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class PictureFile {
public:
    // What tells one version of a file from another without reading it.
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Identity&) const = default;
    };

    // Throws Error ("Cannot open file ...") when the path cannot be opened as a regular file.
    explicit PictureFile(const QString& path);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    // The identity of the file at path now, following links; false when there is none.
    static bool identify(const QString& path, Identity& identity);

    const QString& path() const { return path_; }
    const Identity& identity() const { return identity_; }
    qint64 size() const { return identity_.size; }
    // A C run-time descriptor (what QFile::open(int) takes), open while this lives.
    int handle() const { return fd_; }

    // Reads up to length bytes at the current position: the count, 0 at the end, -1 on
    // an error. Never throws (libjpeg calls it through C frames).
    qint64 readSome(char* buffer, qint64 length) noexcept;
    // The whole file; throws Error when it is larger than limit or cannot be read.
    QByteArray readAll(qint64 limit);

private:
    QString path_;
    Identity identity_;
    int fd_ = -1;
    int readError_ = 0; // of the last readSome
};
