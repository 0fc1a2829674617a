#pragma once
// The texts a table sends: identifiers, value literals and the INSERT / UPDATE / DELETE
// statements (lines joined by CR LF). Texts are Windows-1252 bytes.

#include "db/fieldkind.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace sql {

// Quotes a Windows-1252 text as a string literal (the connection's server-aware escaping).
using Quoter = std::function<QByteArray(const QByteArray&)>;

// Written as it is when it starts with a letter and holds only letters, digits, "_" and
// "$"; otherwise in backquotes.
QString identifier(const QString& name);

// The literal of a value of the given kind: NULL, integers in decimal, floats in the
// general form with "." (exponent only below 1E-5 or above 15 digits), date-times
// quoted as 'YYYY-MM-DD HH:NN:SS' (0100-01-01 00:00:00 as the zero date), text quoted.
QByteArray literal(const QVariant& value, FieldKind kind, const Quoter& quote);
QByteArray floatLiteral(double value);

struct Assignment {
    QString column;
    QByteArray literal;
};

QByteArray selectStatement(const QString& table, const QString& orderFields);
QByteArray insertStatement(const QString& table, const std::vector<Assignment>& values);
QByteArray updateStatement(const QString& table, const std::vector<Assignment>& changes,
                           const std::vector<Assignment>& key);
QByteArray deleteStatement(const QString& table, const std::vector<Assignment>& key);
// "a = 1 AND b IS NULL" (a NULL literal gives "IS NULL").
QByteArray keyCondition(const std::vector<Assignment>& key);

}
