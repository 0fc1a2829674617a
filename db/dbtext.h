#pragma once
// Bound read-only text: shows the display text of one field of the data source's current
// record; it never edits.

#include "db/fielddatalink.h"

#include <QLabel>

class DataSource;
class Field;

class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    const QString& dataField() const { return link_.fieldName(); }

private:
    FieldDataLink link_;
};
