#include "db/fieldkind.h"

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Boolean: return QStringLiteral("Boolean");
    case FieldKind::SmallInt: return QStringLiteral("SmallInt");
    case FieldKind::Integer: return QStringLiteral("Integer");
    case FieldKind::Word: return QStringLiteral("LongWord");
    case FieldKind::LargeInt: return QStringLiteral("LargeInt");
    case FieldKind::Float: return QStringLiteral("Float");
    case FieldKind::Currency: return QStringLiteral("Currency");
    case FieldKind::Date: return QStringLiteral("Date");
    case FieldKind::Time: return QStringLiteral("Time");
    case FieldKind::DateTime: return QStringLiteral("DateTime");
    case FieldKind::String: return QStringLiteral("String");
    case FieldKind::Memo: return QStringLiteral("Memo");
    case FieldKind::Blob: return QStringLiteral("Blob");
    }
    return QStringLiteral("Unknown");
}

namespace {
int compatibilityGroup(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Boolean: return 0;
    case FieldKind::SmallInt:
    case FieldKind::Integer: return 1;
    case FieldKind::Word: return 2;
    case FieldKind::LargeInt: return 3;
    case FieldKind::Float:
    case FieldKind::Currency: return 4;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime: return 5;
    case FieldKind::String: return 6;
    case FieldKind::Memo:
    case FieldKind::Blob: return 7;
    }
    return -1;
}
}

bool fieldKindsCompatible(FieldKind declared, FieldKind actual)
{
    return compatibilityGroup(declared) == compatibilityGroup(actual);
}
