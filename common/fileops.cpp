#include "common/fileops.h"

#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#endif

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

QString systemErrorText(int error)
{
    return systemErrorReason(error) + QStringLiteral(" (") + QString::number(error) + QLatin1Char(')');
}

QString systemErrorReason(int error)
{
#ifdef _WIN32
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString reason = length ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    LocalFree(text);
#else
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
#endif
    return reason;
}

int writeWholeFile(const QString& path, const QByteArray& bytes)
{
    return nativefs::replaceFile(nativePath(path), bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

int readWholeFile(const QString& path, QByteArray& bytes, qint64 limit)
{
    bytes.clear();
    nativefs::Handle handle = nativefs::noHandle;
    if (const int error = nativefs::openPlainFile(nativePath(path), false, handle))
        return error;
    std::int64_t size = 0;
    int error = nativefs::fileSize(handle, size);
    if (!error && size > limit)
        error = nativefs::tooLarge;
    if (!error) {
        // One byte more than the size shows a file that grew meanwhile.
        bytes.resize(static_cast<qsizetype>(size) + 1);
        std::size_t done = 0;
        error = nativefs::readAt(handle, 0, bytes.data(), static_cast<std::size_t>(bytes.size()), done);
        if (!error && done > static_cast<std::size_t>(size))
            error = nativefs::tooLarge;
        bytes.resize(error ? 0 : static_cast<qsizetype>(done));
    }
    nativefs::closeFile(handle);
    return error;
}
