#include "common/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
const QByteArray utf8Mark("\xEF\xBB\xBF", 3);
const QByteArray utf16LEMark("\xFF\xFE", 2);
const QByteArray utf16BEMark("\xFE\xFF", 2);

QString decodeWith(QStringConverter::Encoding encoding, const QByteArray& bytes)
{
    QStringDecoder decoder(encoding);
    return decoder(bytes);
}
}

TextEncoding markedEncoding(const QByteArray& head, int* markLength)
{
    TextEncoding encoding = TextEncoding::Local8Bit;
    int length = 0;
    if (head.startsWith(utf8Mark))
        encoding = TextEncoding::Utf8Bom, length = 3;
    else if (head.startsWith(utf16LEMark))
        encoding = TextEncoding::Utf16LE, length = 2;
    else if (head.startsWith(utf16BEMark))
        encoding = TextEncoding::Utf16BE, length = 2;
    if (markLength)
        *markLength = length;
    return encoding;
}

DecodedText decodeText(const QByteArray& bytes)
{
    int markLength = 0;
    const TextEncoding encoding = markedEncoding(bytes, &markLength);
    switch (encoding) {
    case TextEncoding::Utf8Bom: return {decodeWith(QStringConverter::Utf8, bytes.mid(markLength)), encoding};
    case TextEncoding::Utf16LE: return {decodeWith(QStringConverter::Utf16LE, bytes.mid(markLength)), encoding};
    case TextEncoding::Utf16BE: return {decodeWith(QStringConverter::Utf16BE, bytes.mid(markLength)), encoding};
    default: break;
    }
    QStringDecoder local(QStringConverter::System);
    QString text = local(bytes);
    if (local.hasError())
        return {QString::fromLatin1(bytes), TextEncoding::Latin1};
    return {text, TextEncoding::Local8Bit};
}

QByteArray encodeText(const QString& text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return utf8Mark + encodeWithoutMark(text, encoding);
    case TextEncoding::Utf16LE: return utf16LEMark + encodeWithoutMark(text, encoding);
    case TextEncoding::Utf16BE: return utf16BEMark + encodeWithoutMark(text, encoding);
    default: return encodeWithoutMark(text, encoding);
    }
}

QByteArray encodeWithoutMark(const QString& text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return text.toUtf8();
    case TextEncoding::Utf16LE: {
        QStringEncoder e(QStringConverter::Utf16LE);
        return e(text);
    }
    case TextEncoding::Utf16BE: {
        QStringEncoder e(QStringConverter::Utf16BE);
        return e(text);
    }
    case TextEncoding::Latin1: return text.toLatin1();
    case TextEncoding::Local8Bit: break;
    }
    QStringEncoder local(QStringConverter::System);
    return local(text);
}

QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    const qsizetype size = text.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.sliced(begin, i - begin);
        if (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
            ++i;
        begin = i + 1;
    }
    if (begin < size)
        lines << text.sliced(begin);
    return lines;
}

QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}
