// Reading the records again, and reading the stored text in place.
#include "db/dataset.h"

#include "db/recordstore.h"
#include "db/refreshposition.h"

void DataSet::refresh()
{
    checkBrowseMode();

    // readRecords fills store(): let it fill a new store while the old one waits aside.
    auto other = std::make_unique<RecordStore>();
    std::swap(store_, other);
    try {
        resetLayout();
        readRecords();
    } catch (...) {
        std::swap(store_, other);
        throw;
    }
    std::swap(store_, other); // the old records are current again until the reset

    std::vector<int> key;
    for (const Field* f : recordKey())
        key.push_back(f->index());
    const int row = rowAfterRefresh(*store_, current_, *other, key);

    notify([this](DataSetListener& l) { l.aboutToReset(*this); });
    std::swap(store_, other);
    other.reset();
    current_ = row;
    bof_ = current_ <= 0;
    eof_ = current_ >= store_->size() - 1;
    notify([this](DataSetListener& l) { l.reset(*this); });
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

QByteArrayView DataSet::storedText(int row, const Field& field) const
{
    if (!isVariableKind(field.kind()) || row < 0 || row >= recordCount())
        return {};
    const int s = storeRow(row);
    return s < 0 ? QByteArrayView() : store_->bytes(s, field.index());
}

int DataSet::findStoredText(const Field& field, int first, int last, const std::function<bool(int row, QByteArrayView bytes)>& match) const
{
    first = std::max(first, 0);
    last = std::min(last, recordCount());
    if (!isVariableKind(field.kind()) || first >= last)
        return -1;
    if (insertRow_ < 0)
        return store_->findRow(field.index(), first, last, match);
    // The rows after the one being inserted sit one place earlier in the store.
    if (first < insertRow_)
        if (const int row = store_->findRow(field.index(), first, std::min(last, insertRow_), match); row >= 0)
            return row;
    const int from = std::max(first, insertRow_ + 1);
    if (from >= last)
        return -1;
    const int row = store_->findRow(field.index(), from - 1, last - 1,
                                    [&match](int r, QByteArrayView bytes) { return match(r + 1, bytes); });
    return row < 0 ? -1 : row + 1;
}
