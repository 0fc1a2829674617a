#include "db/datasource.h"

#include "db/datalink.h"

#include <algorithm>

DataSource::DataSource(QObject* parent) : QObject(parent)
{
}

DataSource::~DataSource()
{
    if (dataSet_)
        dataSet_->removeListener(this);
}

DataSetState DataSource::state() const
{
    return dataSet_ ? dataSet_->state() : DataSetState::Inactive;
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    toLinks([](DataLink& l) { l.rowsAboutToBeReset(); });
    if (dataSet_)
        dataSet_->removeListener(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->addListener(this);
    toLinks([](DataLink& l) { l.rowsReset(); });
    toLinks([](DataLink& l) { l.stateChanged(); });
    toLinks([](DataLink& l) { l.dataChanged(nullptr); });
}

void DataSource::addLink(DataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void DataSource::removeLink(DataLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

template <class F>
void DataSource::toLinks(F&& f)
{
    const auto links = links_; // a link may attach or detach others while it runs
    for (DataLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            f(*l);
}

void DataSource::stateChanged(DataSet&)
{
    toLinks([](DataLink& l) { l.stateChanged(); });
    if (onStateChange)
        onStateChange();
}

void DataSource::dataChanged(DataSet&, const Field* field)
{
    toLinks([field](DataLink& l) { l.dataChanged(field); });
    if (onDataChange)
        onDataChange(field);
}

void DataSource::dataUnchanged(DataSet&)
{
    toLinks([](DataLink& l) { l.dataUnchanged(); });
    // The handler sees the data change as any other.
    if (onDataChange)
        onDataChange(nullptr);
}

void DataSource::updateRecord(DataSet&)
{
    updateRecord();
}

void DataSource::updateRecord()
{
    toLinks([](DataLink& l) { l.updateData(); });
}

void DataSource::rowAboutToBeInserted(DataSet&, int row)
{
    toLinks([row](DataLink& l) { l.rowAboutToBeInserted(row); });
}

void DataSource::rowInserted(DataSet&, int row)
{
    toLinks([row](DataLink& l) { l.rowInserted(row); });
}

void DataSource::rowAboutToBeRemoved(DataSet&, int row)
{
    toLinks([row](DataLink& l) { l.rowAboutToBeRemoved(row); });
}

void DataSource::rowRemoved(DataSet&, int row)
{
    toLinks([row](DataLink& l) { l.rowRemoved(row); });
}

void DataSource::aboutToReset(DataSet&)
{
    toLinks([](DataLink& l) { l.rowsAboutToBeReset(); });
}

void DataSource::reset(DataSet&)
{
    toLinks([](DataLink& l) { l.rowsReset(); });
}
