#pragma once
// What every bound control offers on top of its widget: the data source and the field it
// shows, and the input it has not yet written into the field.

#include "db/fielddatalink.h"

#include <QString>

class DataSource;
class Field;

template <class Widget>
class BoundControl : public Widget {
public:
    using Widget::Widget;

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    const QString& dataField() const { return link_.fieldName(); }
    Field* field() const { return link_.field(); }

    // Whether the control holds input not yet written into the field.
    bool hasPendingInput() const { return link_.modified(); }
    // Writes pending input into the field now (conversion errors propagate).
    void updateRecord() { link_.updateRecord(); }

protected:
    FieldDataLink link_;
};
