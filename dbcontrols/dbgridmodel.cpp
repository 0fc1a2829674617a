#include "dbcontrols/dbgridmodel.h"

#include "db/dataset.h"
#include "db/datasource.h"

DBGridModel::DBGridModel(QObject* parent) : QAbstractTableModel(parent)
{
}

DBGridModel::~DBGridModel()
{
    if (source_)
        source_->removeLink(&link_);
}

void DBGridModel::setDataSource(DataSource* source)
{
    if (source == source_)
        return;
    beginResetModel();
    if (source_)
        source_->removeLink(&link_);
    source_ = source;
    if (source_)
        source_->addLink(&link_);
    resolveFields();
    endResetModel();
    if (currentChanged)
        currentChanged();
}

DataSet* DBGridModel::dataSet() const
{
    DataSet* ds = source_ ? source_->dataSet() : nullptr;
    return ds && ds->isActive() ? ds : nullptr;
}

void DBGridModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    resolveFields();
    endResetModel();
}

void DBGridModel::resolveFields()
{
    DataSet* ds = source_ ? source_->dataSet() : nullptr;
    fields_.clear();
    for (const GridColumn& c : columns_)
        fields_.push_back(ds ? ds->findField(c.fieldName) : nullptr);
}

Field* DBGridModel::columnField(int column) const
{
    if (column < 0 || column >= int(fields_.size()) || !dataSet())
        return nullptr;
    return fields_[size_t(column)];
}

int DBGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const DataSet* ds = dataSet();
    return ds ? ds->recordCount() : 0;
}

int DBGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DBGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (const Field* f = columnField(index.column()))
            return f->displayTextAt(index.row());
        return QString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[size_t(index.column())].alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole: return columns_[size_t(section)].title;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[size_t(section)].titleAlignment | Qt::AlignVCenter);
    default: return {};
    }
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void DBGridModel::followDataChange()
{
    // A field set or a whole-record change (Post, Cancel, a move) touches the current row
    // only; rows come and go through the row notifications.
    const DataSet* ds = dataSet();
    if (ds && ds->currentRow() >= 0 && ds->currentRow() < rowCount() && !columns_.empty()) {
        const int row = ds->currentRow();
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    if (currentChanged)
        currentChanged();
}
