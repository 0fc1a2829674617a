#pragma once
// How the server's column types read into field kinds, and the key flags of a column.

#include "db/fieldkind.h"

typedef struct st_mysql_field MYSQL_FIELD;

// TINYINT(1) boolean; other TINYINT, SMALLINT, YEAR 8/16 bits; MEDIUMINT, INT 32 bits
// (INT UNSIGNED its own kind); BIGINT and BIT 64 bits; FLOAT, DOUBLE, DECIMAL float;
// DATE, TIME, DATETIME/TIMESTAMP; CHAR, VARCHAR, ENUM, SET string; TEXT memo; BLOB binary.
FieldKind columnKind(const MYSQL_FIELD& column);

// Characters of a string column (as the latin1 connection reports them).
int columnWidth(const MYSQL_FIELD& column);

// The width of a string field bound to a string column: the column's, narrower or wider
// than the declared one, so a text the server holds is never cut by an edit of it.
int boundStringWidth(int declared, int column);

// Column flags as the server reports them.
namespace columnflag {
constexpr unsigned primaryKey = 2;
constexpr unsigned uniqueKey = 4;
constexpr unsigned multipleKey = 8;
constexpr unsigned autoIncrement = 512;
constexpr unsigned partOfKey = 16384;
}
