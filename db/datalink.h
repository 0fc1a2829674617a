#pragma once
// What a data source tells everything bound to it (bound controls, the grid model). Plain
// C++ callbacks, run inside the data set operation that caused them: an exception thrown
// here leaves that operation.

class Field;

class DataLink {
public:
    virtual ~DataLink() = default;

    // The data set's state changed, or the data source got another data set.
    virtual void stateChanged() {}
    // field != nullptr: that field of the current record was set. nullptr: the current
    // record or the whole content changed.
    virtual void dataChanged(const Field* /*field*/) {}
    // A data change for the whole record that left every value as it was announced last
    // (Edit, and Post of an edit); by default the same as dataChanged(nullptr).
    virtual void dataUnchanged() { dataChanged(nullptr); }
    // Post or Delete is about to act: write pending input into the record now.
    virtual void updateData() {}

    // The list of rows changes (QAbstractItemModel's begin/end pairs).
    virtual void rowAboutToBeInserted(int /*row*/) {}
    virtual void rowInserted(int /*row*/) {}
    virtual void rowAboutToBeRemoved(int /*row*/) {}
    virtual void rowRemoved(int /*row*/) {}
    virtual void rowsAboutToBeReset() {}
    virtual void rowsReset() {}
};
