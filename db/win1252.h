#pragma once
// Windows-1252, the single-byte text of the database connection.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A character that Windows-1252 cannot hold becomes "?".
QByteArray toWin1252(const QString& text);
QString fromWin1252(const char* bytes, qsizetype length);
// Writes the text's Windows-1252 bytes to `out` (room for text.size() bytes); returns
// how many were written.
qsizetype toWin1252(const QString& text, char* out);
inline QString fromWin1252(const QByteArray& bytes) { return fromWin1252(bytes.constData(), bytes.size()); }
// The text as Windows-1252 can hold it (each unmappable character replaced by "?").
QString win1252Representable(const QString& text);
// The characters of the text that Windows-1252 cannot hold, each once, in the order they
// first appear (a character beyond U+FFFF is one entry); empty when it holds them all.
QStringList win1252Missing(const QString& text);
