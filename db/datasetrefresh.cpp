// Reading the records again, and read access to the stored text.
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
