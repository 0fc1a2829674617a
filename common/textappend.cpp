#include "common/textappend.h"

#include "common/fileops.h"
#include "common/textcodec.h"

#include <QStringDecoder>

namespace {
bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

// How much of the end of the file tells its encoding: the lines of the last runs.
constexpr std::int64_t tailLength = 64 * 1024;

// Whether the end of the file decodes in the system's code page. Only the end is read, so
// that a run costs what it logs however large the log has grown. The piece may begin
// inside a character of several bytes: up to three of its first bytes may be skipped.
int tailDecodesInSystemCodePage(nativefs::Handle file, std::int64_t from, std::int64_t size, bool& valid)
{
    const std::int64_t start = std::max(from, size - tailLength);
    QByteArray tail(qsizetype(size - start), Qt::Uninitialized);
    std::size_t done = 0;
    if (const int error = nativefs::readAt(file, start, tail.data(), std::size_t(tail.size()), done))
        return error;
    tail.resize(qsizetype(done));
    valid = false;
    for (qsizetype skip = 0; skip <= (start > from ? 3 : 0) && skip <= tail.size() && !valid; ++skip) {
        QStringDecoder decoder(QStringConverter::System);
        const QString decoded = decoder.decode(QByteArrayView(tail).sliced(skip));
        valid = !decoder.hasError();
    }
    return 0;
}

bool endsWithLineBreak(const QByteArray& tail, TextEncoding encoding)
{
    auto isBreak = [](char c) { return c == '\n' || c == '\r'; };
    if (encoding == TextEncoding::Utf16LE)
        return tail.size() == 2 && isBreak(tail[0]) && tail[1] == 0;
    if (encoding == TextEncoding::Utf16BE)
        return tail.size() == 2 && tail[0] == 0 && isBreak(tail[1]);
    return !tail.isEmpty() && isBreak(tail.back());
}

int readBytes(nativefs::Handle file, std::int64_t offset, std::int64_t length, QByteArray& bytes)
{
    bytes.resize(qsizetype(length));
    std::size_t done = 0;
    const int error = nativefs::readAt(file, offset, bytes.data(), std::size_t(length), done);
    bytes.resize(qsizetype(done));
    return error;
}

int appendTo(nativefs::Handle file, const QStringList& lines)
{
    std::int64_t size = 0;
    if (const int error = nativefs::fileSize(file, size))
        return error;
    QByteArray head;
    if (const int error = readBytes(file, 0, std::min<std::int64_t>(size, 3), head))
        return error;
    int markLength = 0;
    TextEncoding encoding = markedEncoding(head, &markLength);
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    if (encoding == TextEncoding::Local8Bit && !isAscii(text)) {
        bool valid = true;
        if (const int error = tailDecodesInSystemCodePage(file, markLength, size, valid))
            return error;
        if (!valid)
            encoding = TextEncoding::Latin1;
    }
    if (size > markLength) {
        QByteArray tail;
        if (const int error = readBytes(file, size - std::min<std::int64_t>(size - markLength, 2), 2, tail))
            return error;
        if (!endsWithLineBreak(tail.right(encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE ? 2 : 1), encoding))
            text.prepend(QStringLiteral("\r\n"));
    }
    const QByteArray bytes = encodeWithoutMark(text, encoding);
    int error = nativefs::writeAt(file, size, bytes.constData(), std::size_t(bytes.size()));
    if (!error)
        error = nativefs::syncFile(file);
    if (error)
        nativefs::truncateFile(file, size); // the old lines as they were, nothing half-written
    return error;
}
} // namespace

int appendLines(const QString& path, const QStringList& lines)
{
    nativefs::Handle file = nativefs::noHandle;
    if (const int error = nativefs::openPlainFile(nativePath(path), true, file))
        return error;
    const int error = lines.isEmpty() ? 0 : appendTo(file, lines);
    nativefs::closeFile(file);
    return error;
}
