#pragma once
// Bound text box: shows one field of the data source's current record and edits it.
// It shows the edit text while it has the focus and the field can be changed, else the
// display text; typing starts the table's edit; the input reaches the field when the box
// is left or the table is posted.

#include "db/fielddatalink.h"

#include <QLineEdit>

class DataSource;
class Field;

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    const QString& dataField() const { return link_.fieldName(); }
    Field* field() const { return link_.field(); }

    // Whether the box holds input not yet written into the field.
    bool hasPendingInput() const { return link_.modified(); }
    // Writes pending input into the field now (conversion errors propagate).
    void updateRecord() { link_.updateRecord(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();
    void updateReadOnly();
    void handleKey(QKeyEvent* event);

    FieldDataLink link_;
};
