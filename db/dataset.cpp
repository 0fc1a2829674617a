#include "db/dataset.h"

#include "common/errors.h"
#include "db/recordstore.h"

#include <algorithm>

namespace {
struct Flag {
    bool& flag;
    bool old;
    explicit Flag(bool& f) : flag(f), old(f) { flag = true; }
    ~Flag() { flag = old; }
};
}

DataSet::DataSet(QString name) : name_(std::move(name)), store_(std::make_unique<RecordStore>())
{
}

DataSet::~DataSet() = default;

void DataSet::fail(const QString& message) const
{
    throw Error(name_ + QStringLiteral(": ") + message, QStringLiteral("EDatabaseError"));
}

Field* DataSet::addField(const QString& fieldName, FieldKind kind, int size)
{
    fields_.push_back(std::unique_ptr<Field>(new Field(this, fieldName, kind, size, false, int(fields_.size()))));
    return fields_.back().get();
}

Field* DataSet::addCalculatedField(const QString& fieldName, FieldKind kind)
{
    calculated_.push_back(int(fields_.size()));
    fields_.push_back(std::unique_ptr<Field>(new Field(this, fieldName, kind, 0, true, int(fields_.size()))));
    return fields_.back().get();
}

Field* DataSet::findField(const QString& fieldName) const
{
    for (const auto& f : fields_)
        if (f->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field* DataSet::fieldByName(const QString& fieldName) const
{
    Field* f = findField(fieldName);
    if (!f)
        fail(QStringLiteral("Field '%1' not found").arg(fieldName));
    return f;
}

void DataSet::addListener(DataSetListener* listener)
{
    listeners_.push_back(listener);
}

void DataSet::removeListener(DataSetListener* listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void DataSet::setState(DataSetState state)
{
    if (state_ == state)
        return;
    state_ = state;
    notify([this](DataSetListener& l) { l.stateChanged(*this); });
}

// --- Opening

void DataSet::open()
{
    if (isActive())
        return;
    notify([this](DataSetListener& l) { l.aboutToReset(*this); });
    resetLayout();
    try {
        readRecords();
    } catch (...) {
        store_->clear();
        notify([this](DataSetListener& l) { l.reset(*this); });
        throw;
    }
    current_ = store_->size() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = current_ < 0;
    setState(DataSetState::Browse);
    notify([this](DataSetListener& l) { l.reset(*this); });
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::resetLayout()
{
    std::vector<FieldKind> kinds;
    std::vector<int> sizes;
    std::vector<bool> dense; // calculated fields are set after the record is stored
    for (const auto& f : fields_) {
        kinds.push_back(f->kind());
        sizes.push_back(f->size());
        dense.push_back(f->isCalculated());
    }
    store_->setLayout(kinds, sizes, dense);
}

void DataSet::close()
{
    if (!isActive())
        return;
    notify([this](DataSetListener& l) { l.aboutToReset(*this); });
    store_->clear();
    buffer_.clear();
    written_.clear();
    insertRow_ = -1;
    current_ = -1;
    modified_ = false;
    bof_ = eof_ = true;
    setState(DataSetState::Inactive);
    notify([this](DataSetListener& l) { l.reset(*this); });
}

// --- Rows

int DataSet::recordCount() const
{
    return store_->size() + (insertRow_ >= 0 ? 1 : 0);
}

int DataSet::storeRow(int row) const
{
    if (insertRow_ < 0 || row < insertRow_)
        return row;
    return row == insertRow_ ? -1 : row - 1;
}

QVariant DataSet::rowValue(int row, const Field& field) const
{
    if (!buffer_.empty() && row == current_)
        return buffer_[size_t(field.index())];
    const int s = storeRow(row);
    if (s < 0 || s >= store_->size())
        return {};
    return store_->value(s, field.index());
}

QVariant DataSet::currentValue(const Field& field) const
{
    if (calcRow_ >= 0)
        return store_->value(calcRow_, field.index());
    if (current_ < 0)
        return {};
    return rowValue(current_, field);
}

QVariant DataSet::storedValue(int row, const Field& field) const
{
    const int s = storeRow(row);
    return s < 0 ? QVariant() : store_->value(s, field.index());
}

QVariant DataSet::oldValueOf(const Field& field) const
{
    if (state_ == DataSetState::Insert || current_ < 0)
        return {};
    // The stored record stays as it was read until Post replaces it.
    return storedValue(current_, field);
}

QVariant DataSet::normalized(const Field& field, QVariant v) const
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (field.kind()) {
    case FieldKind::Boolean: return QVariant(v.toBool());
    case FieldKind::SmallInt:
    case FieldKind::Integer: return QVariant(v.toInt());
    case FieldKind::Word:
    case FieldKind::LargeInt: return QVariant(qlonglong(v.toLongLong()));
    case FieldKind::Float:
    case FieldKind::Currency: return QVariant(v.toDouble());
    case FieldKind::Date: return QVariant(v.toDate());
    case FieldKind::Time: return QVariant(v.toTime());
    case FieldKind::DateTime: return QVariant(v.toDateTime());
    case FieldKind::String: {
        // Kept as given until Post, which refuses what Windows-1252 cannot hold.
        QString s = v.toString();
        if (field.size() > 0 && s.size() > field.size())
            s.truncate(s[field.size()].isLowSurrogate() ? field.size() - 1 : field.size());
        return QVariant(s);
    }
    case FieldKind::Memo: return QVariant(v.toString());
    case FieldKind::Blob: return QVariant(v.toByteArray());
    }
    return v;
}

void DataSet::setFieldValue(const Field& field, QVariant value)
{
    value = normalized(field, std::move(value));
    const size_t i = size_t(field.index());
    if (inCalc_ && field.isCalculated()) {
        // The calculation rule fills calculated fields quietly, wherever it runs.
        if (calcRow_ >= 0)
            store_->setFixed(calcRow_, field.index(), value);
        else if (!buffer_.empty())
            buffer_[i] = value;
        else if (current_ >= 0 && storeRow(current_) >= 0)
            store_->setFixed(storeRow(current_), field.index(), value);
        return;
    }
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    buffer_[i] = value;
    written_[i] = true;
    if (!field.isCalculated())
        modified_ = true;
    runCalcFields();
    notify([this, &field](DataSetListener& l) { l.dataChanged(*this, &field); });
}

void DataSet::storeAssigned(const Field& field, const QVariant& value)
{
    if (!buffer_.empty())
        buffer_[size_t(field.index())] = normalized(field, value);
}

void DataSet::runCalcFields()
{
    if (!onCalcFields)
        return;
    Flag guard(inCalc_);
    onCalcFields(*this);
}

void DataSet::calculateStoredRow(int row)
{
    if (!onCalcFields)
        return;
    Flag guard(inCalc_);
    calcRow_ = row;
    try {
        onCalcFields(*this);
    } catch (...) {
        calcRow_ = -1;
        throw;
    }
    calcRow_ = -1;
}

void DataSet::appendRecord(const QVariantList& values)
{
    if (!isActive() || isEditing())
        fail(QStringLiteral("Cannot append a stored record in this state"));
    std::vector<QVariant> record(fields_.size());
    for (size_t i = 0; i < fields_.size() && i < size_t(values.size()); ++i)
        record[i] = normalized(*fields_[i], values[qsizetype(i)]);
    const int row = store_->size();
    notify([this, row](DataSetListener& l) { l.rowAboutToBeInserted(*this, row); });
    store_->insert(row, record);
    calculateStoredRow(row);
    const bool wasEmpty = current_ < 0;
    if (wasEmpty)
        current_ = 0;
    notify([this, row](DataSetListener& l) { l.rowInserted(*this, row); });
    if (wasEmpty)
        notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

void DataSet::refreshCurrent()
{
    if (current_ < 0)
        return;
    runCalcFields();
    notify([this](DataSetListener& l) { l.dataChanged(*this, nullptr); });
}

