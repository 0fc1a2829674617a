#pragma once
// Bound multi-line text: shows a memo or text field of the data source's current record
// and edits it like the bound text box (typing starts the table's edit; the input reaches
// the field when the control is left or the table is posted).

#include "db/fielddatalink.h"

#include <QPlainTextEdit>

class DataSource;
class Field;

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    const QString& dataField() const { return link_.fieldName(); }
    Field* field() const { return link_.field(); }

    bool hasPendingInput() const { return link_.modified(); }
    void updateRecord() { link_.updateRecord(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();
    void updateReadOnly();
    void handleKey(QKeyEvent* event);

    FieldDataLink link_;
    bool showing_ = false;
};
