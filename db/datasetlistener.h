#pragma once
// What a data set tells the parts attached to it (data sources, grid models). Plain C++
// callbacks on the caller's thread; an exception thrown by a callback leaves the data set
// operation that sent it (the data set's state is already consistent at each call).

class DataSet;
class Field;

class DataSetListener {
public:
    virtual ~DataSetListener() = default;

    // The state (inactive, browse, edit, insert) really changed.
    virtual void stateChanged(DataSet&) {}
    // field != nullptr: that field of the current record was set (the calculated fields
    // are already computed anew). field == nullptr: the current record or its whole
    // content changed (a move, Insert, Edit, Post, Cancel, Delete, open).
    virtual void dataChanged(DataSet&, const Field* /*field*/) {}
    // A data change for the whole record after which every value is the one announced
    // last (Edit, and Post of an edit: only the state changed). By default the same as
    // dataChanged(nullptr); a listener that shows those values already may keep them.
    virtual void dataUnchanged(DataSet& dataSet) { dataChanged(dataSet, nullptr); }
    // Post and Delete are about to act: write pending control input into the record now
    // (through Field setters). Throwing aborts the operation; the state stays.
    virtual void updateRecord(DataSet&) {}

    // Changes of the list of rows, in the shape of QAbstractItemModel's begin/end pairs.
    // Row numbers are those of DataSet::recordCount() (the row being inserted counts).
    virtual void rowAboutToBeInserted(DataSet&, int /*row*/) {}
    virtual void rowInserted(DataSet&, int /*row*/) {}
    virtual void rowAboutToBeRemoved(DataSet&, int /*row*/) {}
    virtual void rowRemoved(DataSet&, int /*row*/) {}
    virtual void aboutToReset(DataSet&) {}   // open, close
    virtual void reset(DataSet&) {}
};
