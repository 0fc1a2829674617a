#include "db/columntypes.h"

#include <mysql.h>

namespace {
constexpr unsigned binaryCharset = 63;
}

FieldKind columnKind(const MYSQL_FIELD& c)
{
    const bool isUnsigned = c.flags & UNSIGNED_FLAG;
    switch (c.type) {
    case MYSQL_TYPE_TINY: return c.length == 1 ? FieldKind::Boolean : FieldKind::SmallInt;
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR: return FieldKind::SmallInt;
    case MYSQL_TYPE_INT24: return FieldKind::Integer;
    case MYSQL_TYPE_LONG: return isUnsigned ? FieldKind::Word : FieldKind::Integer;
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_BIT: return FieldKind::LargeInt;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL: return FieldKind::Float;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE: return FieldKind::Date;
    case MYSQL_TYPE_TIME: return FieldKind::Time;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP: return FieldKind::DateTime;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB: return c.charsetnr == binaryCharset ? FieldKind::Blob : FieldKind::Memo;
    default: return FieldKind::String; // CHAR, VARCHAR, ENUM, SET
    }
}

int columnWidth(const MYSQL_FIELD& c)
{
    return int(c.length);
}

int boundStringWidth(int declared, int column)
{
    return column > 0 ? column : declared;
}
