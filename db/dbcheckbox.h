#pragma once
// Bound check box: checked when the field's text is "1", unchecked when it is "0"
// (letter case ignored), greyed otherwise (null included). A click or Space starts the
// table's edit and then toggles (greyed becomes checked); the box writes "1", "0" or,
// greyed, null when it is left or the table is posted.

#include "db/fielddatalink.h"

#include <QCheckBox>

class DataSource;
class Field;

class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    DBCheckBox(const QString& text, QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    const QString& dataField() const { return link_.fieldName(); }
    Field* field() const { return link_.field(); }

    bool hasPendingInput() const { return link_.modified(); }
    void updateRecord() { link_.updateRecord(); }

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();

    FieldDataLink link_;
};
