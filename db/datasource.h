#pragma once
// The data source between a data set and everything bound to it. It passes each of the
// data set's notifications first to the bound parts (controls, grid) and then to the
// window's handlers, in the order the data set sends them, so a handler already sees the
// controls showing the new values.
//
// Ownership: the data source does not own the data set nor the links. The data set must
// outlive the data source or be detached first (setDataSet(nullptr)); a link removes
// itself when destroyed (the data source tells the remaining links nothing then).

#include "db/dataset.h"
#include "db/datasetlistener.h"

#include <QObject>
#include <functional>
#include <vector>

class DataLink;

class DataSource : public QObject, private DataSetListener {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return dataSet_; }
    // The data set's state; Inactive without a data set.
    DataSetState state() const;

    // The window's handlers (MyDataSourceStateChange, MyDataSourceDataChange). They run
    // after the bound parts; an exception leaves the data set operation.
    std::function<void()> onStateChange;
    std::function<void(const Field* field)> onDataChange;

    // Writes the bound controls' pending input into the record now (what Post does
    // first). Conversion errors propagate.
    void updateRecord();

    void addLink(DataLink* link);
    void removeLink(DataLink* link);

private:
    void stateChanged(DataSet&) override;
    void dataChanged(DataSet&, const Field* field) override;
    void dataUnchanged(DataSet&) override;
    void updateRecord(DataSet&) override;
    void rowAboutToBeInserted(DataSet&, int row) override;
    void rowInserted(DataSet&, int row) override;
    void rowAboutToBeRemoved(DataSet&, int row) override;
    void rowRemoved(DataSet&, int row) override;
    void aboutToReset(DataSet&) override;
    void reset(DataSet&) override;

    template <class F>
    void toLinks(F&& f);

    DataSet* dataSet_ = nullptr;
    std::vector<DataLink*> links_;
};
