#include "db/fielddatalink.h"

#include "db/dataset.h"
#include "db/datasource.h"
#include "db/field.h"

FieldDataLink::~FieldDataLink()
{
    if (source_)
        source_->removeLink(this);
}

void FieldDataLink::setDataSource(DataSource* source)
{
    if (source == source_)
        return;
    if (source_)
        source_->removeLink(this);
    source_ = source;
    if (source_)
        source_->addLink(this);
    resolve();
    stateChanged();
    dataChanged(nullptr);
}

void FieldDataLink::setFieldName(const QString& name)
{
    fieldName_ = name;
    resolve();
    stateChanged();
    dataChanged(nullptr);
}

void FieldDataLink::resolve()
{
    DataSet* ds = source_ ? source_->dataSet() : nullptr;
    field_ = ds && !fieldName_.isEmpty() ? ds->findField(fieldName_) : nullptr;
}

Field* FieldDataLink::field() const
{
    DataSet* ds = source_ ? source_->dataSet() : nullptr;
    return ds && ds->isActive() ? field_ : nullptr;
}

bool FieldDataLink::canModify() const
{
    const Field* f = field();
    return f && f->canModify();
}

bool FieldDataLink::editing() const
{
    return canModify() && source_->dataSet()->isEditing();
}

bool FieldDataLink::edit()
{
    if (!canModify())
        return false;
    source_->dataSet()->edit();
    return editing();
}

void FieldDataLink::reset()
{
    modified_ = false;
    if (show)
        show();
}

void FieldDataLink::updateRecord()
{
    if (!modified_ || !field())
        return;
    if (write)
        write();
    modified_ = false;
}

void FieldDataLink::stateChanged()
{
    if (editingChanged)
        editingChanged();
}

void FieldDataLink::dataChanged(const Field* changed)
{
    // A calculated field is computed anew after every field set, so it is shown again
    // too; other controls only for their own field.
    if (changed && changed != field_ && !(field_ && field_->isCalculated()))
        return;
    reset();
}

void FieldDataLink::dataUnchanged()
{
    // The control shows the value already, unless the user changed its content since.
    if (modified_)
        reset();
}

void FieldDataLink::updateData()
{
    updateRecord();
}

void FieldDataLink::rowsReset()
{
    resolve();
}
