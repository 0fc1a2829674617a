#include "db/sqlstatements.h"

#include "common/regional.h"
#include "db/win1252.h"

#include <QDateTime>
#include <cmath>

namespace sql {

namespace {
constexpr char crlf[] = "\r\n";

void appendName(QByteArray& out, const QString& column)
{
    out += toWin1252(identifier(column));
}

void appendJoined(QByteArray& out, const std::vector<Assignment>& items, bool names)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ", ";
        if (names)
            appendName(out, items[i].column);
        else
            out += items[i].literal;
    }
}

void appendKeyCondition(QByteArray& out, const std::vector<Assignment>& key)
{
    for (size_t i = 0; i < key.size(); ++i) {
        if (i)
            out += " AND ";
        appendName(out, key[i].column);
        if (key[i].literal == "NULL") {
            out += " IS NULL";
        } else {
            out += " = ";
            out += key[i].literal;
        }
    }
}

// A keyword on a line of its own, the text after it indented on the next: "\r\nWHERE\r\n  ".
void appendClause(QByteArray& out, const char* keyword)
{
    out += crlf;
    out += keyword;
    out += crlf;
    out += "  ";
}

// Room for the names and literals, so the text is written without growing.
qsizetype sizeOf(const std::vector<Assignment>& items)
{
    qsizetype n = 0;
    for (const Assignment& a : items)
        n += a.column.size() + a.literal.size() + 16;
    return n;
}
}

QString identifier(const QString& n)
{
    const auto letter = [](QChar c) { return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')); };
    bool plain = !n.isEmpty() && letter(n.front());
    for (QChar c : n)
        plain = plain && (letter(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') || c == QLatin1Char('$'));
    if (plain)
        return n;
    QString quoted = n;
    quoted.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + quoted + QLatin1Char('`');
}

QByteArray floatLiteral(double value)
{
    return formatGeneral(value, QLatin1Char('.')).toLatin1();
}

QByteArray literal(const QVariant& value, FieldKind kind, const Quoter& quote)
{
    if (!value.isValid() || value.isNull())
        return QByteArrayLiteral("NULL");
    switch (kind) {
    case FieldKind::Boolean: return value.toBool() ? "1" : "0";
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt: return QByteArray::number(value.toLongLong());
    case FieldKind::Float:
    case FieldKind::Currency: return floatLiteral(value.toDouble());
    case FieldKind::Date: return '\'' + value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '\'';
    case FieldKind::Time: return '\'' + value.toTime().toString(QStringLiteral("HH:mm:ss")).toLatin1() + '\'';
    case FieldKind::DateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.date() == QDate(100, 1, 1) && dt.time() == QTime(0, 0))
            return QByteArrayLiteral("'0000-00-00 00:00:00'");
        // Four-digit year whatever the value ("0099", not "99").
        const QString date = QStringLiteral("%1-%2-%3")
                                 .arg(dt.date().year(), 4, 10, QLatin1Char('0'))
                                 .arg(dt.date().month(), 2, 10, QLatin1Char('0'))
                                 .arg(dt.date().day(), 2, 10, QLatin1Char('0'));
        return '\'' + date.toLatin1() + ' ' + dt.time().toString(QStringLiteral("HH:mm:ss")).toLatin1() + '\'';
    }
    case FieldKind::String:
    case FieldKind::Memo: return quote(toWin1252(value.toString()));
    case FieldKind::Blob: return quote(value.toByteArray());
    }
    return QByteArrayLiteral("NULL");
}

QByteArray selectStatement(const QString& table, const QString& orderFields)
{
    QByteArray s = "SELECT * FROM ";
    appendName(s, table);
    if (!orderFields.isEmpty())
        s += " ORDER BY " + toWin1252(orderFields);
    return s;
}

QByteArray insertStatement(const QString& table, const std::vector<Assignment>& values)
{
    QByteArray s;
    s.reserve(table.size() + sizeOf(values) + 40);
    s += "INSERT INTO ";
    appendName(s, table);
    s += crlf;
    s += "  (";
    appendJoined(s, values, true);
    s += ")";
    appendClause(s, "VALUES");
    s += "(";
    appendJoined(s, values, false);
    s += ")";
    return s;
}

QByteArray keyCondition(const std::vector<Assignment>& key)
{
    QByteArray out;
    appendKeyCondition(out, key);
    return out;
}

QByteArray updateStatement(const QString& table, const std::vector<Assignment>& changes, const std::vector<Assignment>& key)
{
    QByteArray s;
    s.reserve(table.size() + sizeOf(changes) + sizeOf(key) + 40);
    s += "UPDATE ";
    appendName(s, table);
    appendClause(s, "SET");
    for (size_t i = 0; i < changes.size(); ++i) {
        if (i)
            s += ", ";
        appendName(s, changes[i].column);
        s += " = ";
        s += changes[i].literal;
    }
    appendClause(s, "WHERE");
    appendKeyCondition(s, key);
    return s;
}

QByteArray deleteStatement(const QString& table, const std::vector<Assignment>& key)
{
    QByteArray s;
    s.reserve(table.size() + sizeOf(key) + 40);
    s += "DELETE FROM ";
    appendName(s, table);
    appendClause(s, "WHERE");
    appendKeyCondition(s, key);
    return s;
}

}
