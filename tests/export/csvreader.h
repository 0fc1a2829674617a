#pragma once
// A plain RFC 4180 reader, written from the RFC and nothing else: records end at CR LF
// (or LF), fields are separated by `separator`, a field in double quotes may hold the
// separator, quotes (doubled) and line breaks. Reads the CSV back independently of the
// writer under test.

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

inline std::vector<QStringList> readCsv(const QString& text, QChar separator)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool wasQuoted = false;   // the current field was quoted (only a separator or line end may follow)
    bool any = false;         // something of the current record was read
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == separator) {
            record << field;
            field.clear();
            wasQuoted = false;
            any = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r')) {
                if (i + 1 >= n || text[i + 1] != QLatin1Char('\n'))
                    throw std::runtime_error("bare CR outside quotes");
                ++i;
            }
            record << field;
            records.push_back(record);
            record.clear();
            field.clear();
            wasQuoted = any = false;
        } else if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                throw std::runtime_error("quote inside an unquoted field");
            quoted = true;
            any = true;
        } else {
            if (wasQuoted)
                throw std::runtime_error("text after a closing quote");
            field += c;
            any = true;
        }
    }
    if (quoted)
        throw std::runtime_error("unterminated quoted field");
    if (any || !field.isEmpty()) {
        record << field;
        records.push_back(record);
    }
    return records;
}
