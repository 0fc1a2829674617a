#include "db/field.h"

#include "common/errors.h"
#include "common/regional.h"
#include "db/dataset.h"

Field::Field(DataSet* dataSet, QString name, FieldKind kind, int size, bool calculated, int index)
    : dataSet_(dataSet), name_(std::move(name)), kind_(kind), size_(kind == FieldKind::String ? size : 0),
      calculated_(calculated), index_(index)
{
}

namespace {
QString dateTimeString(const QDateTime& dt)
{
    const RegionalSettings& r = regional();
    QString text = dt.date().toString(r.shortDateFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + dt.time().toString(r.longTimeFormat);
    return text;
}

QString textOf(FieldKind kind, const QVariant& v, bool display)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (kind) {
    case FieldKind::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt: return QString::number(v.toLongLong());
    case FieldKind::Float: return formatGeneral(v.toDouble());
    case FieldKind::Currency: return display ? formatCurrency(v.toDouble()) : formatGeneral(v.toDouble());
    case FieldKind::Date: return v.toDate().toString(regional().shortDateFormat);
    case FieldKind::Time: return v.toTime().toString(regional().longTimeFormat);
    case FieldKind::DateTime: return dateTimeString(v.toDateTime());
    case FieldKind::String:
    case FieldKind::Memo: return v.toString();
    case FieldKind::Blob: return QString::fromLatin1(v.toByteArray());
    }
    return {};
}

[[noreturn]] void conversionError(const QString& what, const QString& text, const QString& field)
{
    throw Error(QStringLiteral("'%1' is not a valid %2 value for field '%3'").arg(text, what, field),
                QStringLiteral("EDatabaseError"));
}
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QVariant Field::value() const
{
    return dataSet_->currentValue(*this);
}

int Field::asInteger() const
{
    return value().toInt();
}

qint64 Field::asLargeInt() const
{
    return value().toLongLong();
}

double Field::asFloat() const
{
    return value().toDouble();
}

bool Field::asBoolean() const
{
    return value().toBool();
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (kind_ == FieldKind::Date)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

QString Field::asString() const
{
    return textOf(kind_, value(), false);
}

QString Field::displayText() const
{
    return textOf(kind_, value(), true);
}

QString Field::editText() const
{
    return textOf(kind_, value(), false);
}

QVariant Field::oldValue() const
{
    return dataSet_->oldValueOf(*this);
}

bool Field::wasWritten() const
{
    return dataSet_->writtenOf(*this);
}

QVariant Field::valueAt(int row) const
{
    return dataSet_->rowValue(row, *this);
}

QString Field::displayTextAt(int row) const
{
    return textOf(kind_, valueAt(row), true);
}

void Field::setValue(const QVariant& value)
{
    dataSet_->setFieldValue(*this, value);
}

void Field::clear()
{
    setValue(QVariant());
}

void Field::setAsInteger(int value)
{
    if (isTextKind(kind_))
        setValue(QString::number(value));
    else
        setValue(QVariant(value));
}

void Field::setAsLargeInt(qint64 value)
{
    if (isTextKind(kind_))
        setValue(QString::number(value));
    else
        setValue(QVariant(qlonglong(value)));
}

void Field::setAsFloat(double value)
{
    if (isTextKind(kind_))
        setValue(formatGeneral(value));
    else
        setValue(QVariant(value));
}

void Field::setAsBoolean(bool value)
{
    if (isTextKind(kind_))
        setValue(value ? QStringLiteral("True") : QStringLiteral("False"));
    else
        setValue(QVariant(value));
}

void Field::setAsDateTime(const QDateTime& value)
{
    if (isTextKind(kind_))
        setValue(dateTimeString(value));
    else
        setValue(QVariant(value));
}

void Field::setAsString(const QString& text)
{
    switch (kind_) {
    case FieldKind::String:
    case FieldKind::Memo:
        setValue(QVariant(text));
        return;
    case FieldKind::Blob:
        setValue(QVariant(text.toLatin1()));
        return;
    default:
        break;
    }
    if (text.isEmpty()) {
        clear();
        return;
    }
    switch (kind_) {
    case FieldKind::Boolean: {
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("1") || t == QLatin1String("true"))
            setValue(QVariant(true));
        else if (t == QLatin1String("0") || t == QLatin1String("false"))
            setValue(QVariant(false));
        else
            conversionError(QStringLiteral("boolean"), text, name_);
        return;
    }
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt: {
        bool ok = false;
        const qlonglong v = text.trimmed().toLongLong(&ok);
        const bool fits = kind_ == FieldKind::LargeInt || kind_ == FieldKind::Word
                              ? ok
                              : ok && v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
        if (!fits)
            conversionError(QStringLiteral("integer"), text, name_);
        setValue(QVariant(v));
        return;
    }
    case FieldKind::Float:
    case FieldKind::Currency: {
        double v = 0;
        if (!parseRegionalFloat(text.trimmed(), v))
            conversionError(QStringLiteral("floating point"), text, name_);
        setValue(QVariant(v));
        return;
    }
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime: {
        const RegionalSettings& r = regional();
        const QString t = text.trimmed();
        QDateTime dt = QDateTime::fromString(t, r.shortDateFormat + QLatin1Char(' ') + r.longTimeFormat);
        if (!dt.isValid())
            dt = QDateTime(QDate::fromString(t, r.shortDateFormat), QTime(0, 0));
        if (kind_ == FieldKind::Time && !dt.isValid())
            dt = QDateTime(QDate(1899, 12, 30), QTime::fromString(t, r.longTimeFormat));
        if (!dt.isValid())
            throw Error(QStringLiteral("'%1' is not a valid date and time").arg(text), QStringLiteral("EConvertError"));
        setValue(kind_ == FieldKind::Date ? QVariant(dt.date()) : kind_ == FieldKind::Time ? QVariant(dt.time()) : QVariant(dt));
        return;
    }
    default:
        return;
    }
}
