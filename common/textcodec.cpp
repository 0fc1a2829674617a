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

DecodedText decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith(utf8Mark))
        return {decodeWith(QStringConverter::Utf8, bytes.mid(3)), TextEncoding::Utf8Bom};
    if (bytes.startsWith(utf16LEMark))
        return {decodeWith(QStringConverter::Utf16LE, bytes.mid(2)), TextEncoding::Utf16LE};
    if (bytes.startsWith(utf16BEMark))
        return {decodeWith(QStringConverter::Utf16BE, bytes.mid(2)), TextEncoding::Utf16BE};
    QStringDecoder local(QStringConverter::System);
    QString text = local(bytes);
    if (local.hasError())
        return {QString::fromLatin1(bytes), TextEncoding::Latin1};
    return {text, TextEncoding::Local8Bit};
}

QByteArray encodeText(const QString& text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return utf8Mark + text.toUtf8();
    case TextEncoding::Utf16LE: {
        QStringEncoder e(QStringConverter::Utf16LE);
        return utf16LEMark + QByteArray(e(text));
    }
    case TextEncoding::Utf16BE: {
        QStringEncoder e(QStringConverter::Utf16BE);
        return utf16BEMark + QByteArray(e(text));
    }
    case TextEncoding::Latin1: return text.toLatin1();
    case TextEncoding::Local8Bit: break;
    }
    QStringEncoder local(QStringConverter::System);
    return local(text);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << current;
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
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
