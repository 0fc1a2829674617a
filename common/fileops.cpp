#include "common/fileops.h"

#include <QFile>

nativefs::Path nativePath(const QString& path)
{
#ifdef _WIN32
    return path.toStdWString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString fromNativePath(const nativefs::Path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

int writeWholeFile(const QString& path, const QByteArray& bytes)
{
    return nativefs::replaceFile(nativePath(path), bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
