#pragma once
// Text files of the program (settings, log): the system's 8-bit code page, or the
// encoding a byte-order mark names; the mark is kept for the write-back.

#include <QByteArray>
#include <QString>
#include <QList>
#include <QStringList>
#include <QStringView>

enum class TextEncoding {
    Local8Bit, // the system's code page (UTF-8 on Linux), no mark
    Utf8Bom,
    Utf16LE,
    Utf16BE,
    Latin1, // bytes that are not valid in the system's code page: kept byte for byte
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Local8Bit;
};

DecodedText decodeText(const QByteArray& bytes);
QByteArray encodeText(const QString& text, TextEncoding encoding);
// The text in the encoding without its byte-order mark: for text added to a file.
QByteArray encodeWithoutMark(const QString& text, TextEncoding encoding);
// The encoding that the byte-order mark at the start of bytes names (Local8Bit when
// there is none), and the mark's length.
TextEncoding markedEncoding(const QByteArray& head, int* markLength = nullptr);

// Splits at CR LF, LF or CR; a line break at the very end ends the last line. The lines
// are views into text, which must outlive them.
QList<QStringView> splitLines(QStringView text);

// The text with each line break (CR LF, CR or LF) made one blank, so that it cannot
// start lines of its own in a line-based file.
QString oneLine(const QString& text);
