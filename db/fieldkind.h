#pragma once
// The kinds of value a field of a data set holds.

#include <QString>

enum class FieldKind {
    Boolean,
    SmallInt,   // 8- and 16-bit signed or unsigned integers
    Integer,    // 32-bit signed integer
    Word,       // 32-bit unsigned integer
    LargeInt,   // 64-bit integer
    Float,      // double precision
    Currency,   // double precision, shown in the regional currency format
    Date,
    Time,
    DateTime,
    String,     // at most size() characters, single-byte Windows-1252
    Memo,       // text of any length, single-byte Windows-1252
    Blob,       // bytes of any length
};

// The kind's name as error texts show it ("Integer", "String", ...).
QString fieldKindName(FieldKind kind);

// Whether a field of kind `declared` may be bound to a column that reads as `actual`.
bool fieldKindsCompatible(FieldKind declared, FieldKind actual);

inline bool isTextKind(FieldKind k) { return k == FieldKind::String || k == FieldKind::Memo; }
inline bool isIntegerKind(FieldKind k)
{
    return k == FieldKind::SmallInt || k == FieldKind::Integer || k == FieldKind::Word || k == FieldKind::LargeInt;
}
inline bool isFloatKind(FieldKind k) { return k == FieldKind::Float || k == FieldKind::Currency; }
// Kinds whose values live outside the record's fixed part (variable length).
inline bool isVariableKind(FieldKind k) { return k == FieldKind::String || k == FieldKind::Memo || k == FieldKind::Blob; }
