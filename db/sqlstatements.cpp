#include "db/sqlstatements.h"

#include "common/regional.h"
#include "db/win1252.h"

#include <QDateTime>
#include <cmath>

namespace sql {

namespace {
const QByteArray crlf = QByteArrayLiteral("\r\n");

QByteArray name(const QString& column)
{
    return toWin1252(identifier(column));
}

QByteArray joined(const std::vector<Assignment>& items, bool names)
{
    QByteArray out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ", ";
        out += names ? name(items[i].column) : items[i].literal;
    }
    return out;
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
    QByteArray s = "SELECT * FROM " + name(table);
    if (!orderFields.isEmpty())
        s += " ORDER BY " + toWin1252(orderFields);
    return s;
}

QByteArray insertStatement(const QString& table, const std::vector<Assignment>& values)
{
    return "INSERT INTO " + name(table) + crlf + "  (" + joined(values, true) + ")" + crlf + "VALUES" + crlf + "  ("
           + joined(values, false) + ")";
}

QByteArray keyCondition(const std::vector<Assignment>& key)
{
    QByteArray out;
    for (size_t i = 0; i < key.size(); ++i) {
        if (i)
            out += " AND ";
        out += name(key[i].column);
        out += key[i].literal == "NULL" ? QByteArray(" IS NULL") : " = " + key[i].literal;
    }
    return out;
}

QByteArray updateStatement(const QString& table, const std::vector<Assignment>& changes, const std::vector<Assignment>& key)
{
    QByteArray set;
    for (size_t i = 0; i < changes.size(); ++i) {
        if (i)
            set += ", ";
        set += name(changes[i].column) + " = " + changes[i].literal;
    }
    return "UPDATE " + name(table) + crlf + "SET" + crlf + "  " + set + crlf + "WHERE" + crlf + "  " + keyCondition(key);
}

QByteArray deleteStatement(const QString& table, const std::vector<Assignment>& key)
{
    return "DELETE FROM " + name(table) + crlf + "WHERE" + crlf + "  " + keyCondition(key);
}

}
