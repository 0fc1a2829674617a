#pragma once
// The link of one bound control to one field of a data source: it finds the field, keeps
// the control's modified mark, starts the table's edit for the control, and calls the
// control back to show the value and to write its pending input.

#include "db/datalink.h"
#include "db/datasource.h"

#include <QPointer>
#include <QString>
#include <functional>

class Field;

class FieldDataLink : public DataLink {
public:
    FieldDataLink() = default;
    ~FieldDataLink() override;
    FieldDataLink(const FieldDataLink&) = delete;
    FieldDataLink& operator=(const FieldDataLink&) = delete;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setFieldName(const QString& name);
    const QString& fieldName() const { return fieldName_; }

    // The bound field of the open data set; nullptr when there is none.
    Field* field() const;
    // Whether the control may change the field: a field that can be modified of an open
    // data set.
    bool canModify() const;
    // Whether the data set is in the edit or insert state and the field can be changed.
    bool editing() const;
    // Asks the data set to enter the edit state (the data set's Edit); true when the
    // control may then change the field. Errors of Edit propagate.
    bool edit();

    bool modified() const { return modified_; }
    void setModified() { modified_ = true; }
    // Shows the field's value again and drops the control's change.
    void reset();
    // Writes the control's pending input now (when modified). The conversion errors of
    // the field propagate and leave the mark set.
    void updateRecord();

    // Set by the control.
    std::function<void()> show;               // show the field's value
    std::function<void()> write;              // write the content into field()
    std::function<void()> editingChanged;     // editing() may have changed

private:
    void stateChanged() override;
    void dataChanged(const Field* field) override;
    void dataUnchanged() override;
    void updateData() override;
    void rowsReset() override;
    void resolve();

    QPointer<DataSource> source_;
    QString fieldName_;
    Field* field_ = nullptr;
    bool modified_ = false;
};
