// The operations of the data set: Insert, Edit, Post, Cancel, Delete and the moves.
#include "db/dataset.h"

#include "common/errors.h"
#include "db/recordstore.h"
#include "db/win1252.h"

#include <algorithm>

// --- Operations

void DataSet::loadEditBuffer()
{
    buffer_.assign(fields_.size(), QVariant());
    written_.assign(fields_.size(), false);
    const int s = storeRow(current_);
    for (size_t i = 0; i < fields_.size(); ++i)
        buffer_[i] = store_->value(s, int(i));
}

void DataSet::checkBrowseMode()
{
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (isEditing()) {
        // Input still pending in a bound control counts as a change of the record.
        notify([this](DataSetListener& l) { l.updateRecord(*this); });
        if (!isEditing())
            return;
        if (modified_)
            post();
        else
            cancel();
    }
}

void DataSet::insert()
{
    checkBrowseMode();
    const int row = current_ < 0 ? 0 : current_;
    notify([this, row](DataSetListener& l) { l.rowAboutToBeInserted(*this, row); });
    buffer_.assign(fields_.size(), QVariant());
    written_.assign(fields_.size(), false);
    insertRow_ = row;
    current_ = row;
    modified_ = false;
    notify([this, row](DataSetListener& l) { l.rowInserted(*this, row); });
    setState(DataSetState::Insert);
    try {
        runCalcFields();
        if (onNewRecord)
            onNewRecord(*this);
    } catch (...) {
        modified_ = false;
        cancel();
        throw;
    }
    modified_ = false;
    written_.assign(fields_.size(), false);
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::edit()
{
    if (isEditing())
        return;
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (isEmpty()) {
        insert();
        return;
    }
    loadEditBuffer();
    modified_ = false;
    setState(DataSetState::Edit);
    notify([this](DataSetListener& l) { l.dataUnchanged(*this); });
}

void DataSet::post()
{
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    notify([this](DataSetListener& l) { l.updateRecord(*this); });
    if (!isEditing()) // a listener cancelled
        return;
    checkStorableText();
    const bool inserted = state_ == DataSetState::Insert;
    if (inserted) {
        writeInsert();
        store_->insert(insertRow_, buffer_);
        insertRow_ = -1;
    } else {
        writeUpdate();
        // Fields not set since Edit hold their stored values; the calculation rule may
        // have changed the calculated ones.
        std::vector<int> changed;
        for (size_t i = 0; i < written_.size(); ++i)
            if (written_[i])
                changed.push_back(int(i));
        for (int i : calculated_)
            if (!written_[size_t(i)])
                changed.push_back(i);
        store_->update(storeRow(current_), buffer_, changed);
    }
    buffer_.clear();
    written_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    if (inserted)
        notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
    else
        notify([this](DataSetListener& l) { l.dataUnchanged(*this); });
}

void DataSet::checkStorableText() const
{
    for (const auto& f : fields_) {
        if (f->isCalculated() || (f->kind() != FieldKind::String && f->kind() != FieldKind::Memo))
            continue;
        const QVariant& value = buffer_[size_t(f->index())];
        if (!value.isValid())
            continue;
        const QStringList missing = win1252Missing(value.toString());
        if (!missing.isEmpty())
            throw Error(QStringLiteral("Teksten kan ikke lagres: tegnene «%1» finnes ikke i databasens tegnsett (%2).")
                            .arg(missing.join(QLatin1Char(' ')), f->displayLabel()),
                        QStringLiteral("EDatabaseError"));
    }
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    if (state_ == DataSetState::Insert) {
        const int row = insertRow_;
        notify([this, row](DataSetListener& l) { l.rowAboutToBeRemoved(*this, row); });
        buffer_.clear();
        written_.clear();
        insertRow_ = -1;
        current_ = store_->size() == 0 ? -1 : std::min(row, store_->size() - 1);
        notify([this, row](DataSetListener& l) { l.rowRemoved(*this, row); });
    } else {
        buffer_.clear();
        written_.clear();
    }
    modified_ = false;
    bof_ = eof_ = current_ < 0;
    setState(DataSetState::Browse);
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::deleteRecord()
{
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    notify([this](DataSetListener& l) { l.updateRecord(*this); });
    if (beforeDelete)
        beforeDelete(*this);
    const int row = current_;
    writeDelete(row);
    const bool wasEdit = state_ == DataSetState::Edit;
    notify([this, row](DataSetListener& l) { l.rowAboutToBeRemoved(*this, row); });
    buffer_.clear();
    written_.clear();
    modified_ = false;
    store_->remove(storeRow(row));
    current_ = store_->size() == 0 ? -1 : std::min(row, store_->size() - 1);
    bof_ = eof_ = current_ < 0;
    notify([this, row](DataSetListener& l) { l.rowRemoved(*this, row); });
    if (wasEdit)
        setState(DataSetState::Browse);
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::setCurrent(int row, bool notifyChange)
{
    if (recordCount() == 0) {
        current_ = -1;
        bof_ = eof_ = true;
        return;
    }
    row = std::clamp(row, 0, recordCount() - 1);
    const bool moved = row != current_;
    current_ = row;
    if (moved && notifyChange)
        notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::first()
{
    checkBrowseMode();
    setCurrent(0, true);
    bof_ = true;
    eof_ = recordCount() == 0;
}

void DataSet::last()
{
    checkBrowseMode();
    setCurrent(recordCount() - 1, true);
    eof_ = true;
    bof_ = recordCount() == 0;
}

void DataSet::prior()
{
    moveBy(-1);
}

void DataSet::next()
{
    moveBy(1);
}

void DataSet::moveBy(int distance)
{
    checkBrowseMode();
    if (current_ < 0)
        return;
    const int target = current_ + distance;
    setCurrent(target, true);
    bof_ = target < 0 || (distance < 0 && current_ == 0 && target < current_);
    eof_ = target > recordCount() - 1;
}

void DataSet::moveTo(int row)
{
    const int pendingInsert = insertRow_;
    const int countBefore = recordCount();
    checkBrowseMode();
    if (pendingInsert >= 0 && recordCount() < countBefore && row > pendingInsert)
        --row; // the pending new record was cancelled: the rows after it moved up by one
    setCurrent(row, true);
    bof_ = current_ <= 0;
    eof_ = current_ >= recordCount() - 1;
}
