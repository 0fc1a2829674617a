#pragma once
// One field of a data set: its definition, and typed access to its value in the data
// set's current record (the edit buffer while editing or inserting).

#include "db/fieldkind.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

class DataSet;

class Field {
public:
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    const QString& fieldName() const { return name_; }
    // The name the user knows the field by (the caption of its control); the field's name
    // until one is given.
    const QString& displayLabel() const { return label_.isEmpty() ? name_ : label_; }
    void setDisplayLabel(const QString& label) { label_ = label; }
    FieldKind kind() const { return kind_; }
    // Characters of a String field (values written are cut to it); 0 for other kinds.
    int size() const { return size_; }
    // Position in the record (the order of the data set's field list).
    int index() const { return index_; }
    // A calculated field is not stored on the server; the calculation rule fills it.
    bool isCalculated() const { return calculated_; }
    // Whether a bound control may change it: not calculated, not read-only.
    bool canModify() const { return !calculated_ && !readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    DataSet& dataSet() const { return *dataSet_; }

    // --- Value of the current record. Reading a null value gives 0, "" or an invalid date.
    bool isNull() const;
    // Null: an invalid QVariant. Otherwise bool, int (Boolean..Integer), qlonglong
    // (Word, LargeInt), double, QDate, QTime, QDateTime, QString or QByteArray.
    QVariant value() const;
    int asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    bool asBoolean() const;
    QDateTime asDateTime() const;
    // Integers in decimal, floats in the general number form with the regional decimal
    // separator, dates in the regional formats, text as it is; null gives "".
    QString asString() const;
    // What a control shows when it does not edit the field: asString, except Currency
    // (the regional currency format).
    QString displayText() const;
    // What a text box shows while editing the field.
    QString editText() const;

    // The value from before the current edit (as read or as last posted); null while
    // inserting.
    QVariant oldValue() const;
    // Whether the field was set since the current edit or insert began (even to the same
    // value).
    bool wasWritten() const;

    // --- Value of any row of the data set (row 0 .. recordCount()-1), whatever the
    // current record; the row being inserted or edited shows its edit buffer.
    QVariant valueAt(int row) const;
    QString displayTextAt(int row) const;

    // --- Writing: only while the data set is in the edit or insert state (else the error
    // "<table>: Dataset not in edit or insert mode"), or to a calculated field from the
    // calculation rule. Each write computes the calculated fields anew and then sends a
    // data change for this field. Text is kept as given, cut to size(); Post refuses a
    // text that Windows-1252 cannot hold.
    void setValue(const QVariant& value);   // invalid QVariant: null
    void clear();                            // null
    void setAsInteger(int value);
    void setAsLargeInt(qint64 value);
    void setAsFloat(double value);
    void setAsBoolean(bool value);
    void setAsDateTime(const QDateTime& value);
    // Text conversion of a bound control's input: numeric kinds take "" as null, else a
    // whole number ("'%s' is not a valid integer value for field '%s'") or a number with
    // the regional decimal separator ("'%s' is not a valid floating point value for field
    // '%s'"); String and Memo keep "" as an empty text, not null.
    void setAsString(const QString& text);
    void setText(const QString& text) { setAsString(text); }

private:
    friend class DataSet;
    Field(DataSet* dataSet, QString name, FieldKind kind, int size, bool calculated, int index);

    DataSet* dataSet_;
    QString name_;
    QString label_;
    FieldKind kind_;
    int size_;
    bool calculated_;
    bool readOnly_ = false;
    int index_;
};
