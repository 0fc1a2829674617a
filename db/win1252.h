#pragma once
// Windows-1252, the single-byte text of the database connection.

#include <QByteArray>
#include <QString>

// A character that Windows-1252 cannot hold becomes "?".
QByteArray toWin1252(const QString& text);
QString fromWin1252(const char* bytes, qsizetype length);
inline QString fromWin1252(const QByteArray& bytes) { return fromWin1252(bytes.constData(), bytes.size()); }
// The text as Windows-1252 can hold it (each unmappable character replaced by "?").
QString win1252Representable(const QString& text);
