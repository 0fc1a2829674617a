#pragma once
// A client-side data set: a list of records with fixed, typed, nullable fields, one
// current record, and the browse / edit / insert states.
//
// Contract (what the windows and the bound controls rely on):
// - The data set owns its fields (stable pointers, created before open) and its records.
//   Records are held in a compact store; the record being edited or inserted lives in an
//   edit buffer until Post.
// - Insert: a pending edit/insert is first posted (when modified) or cancelled; a new,
//   empty record opens at the current row; state -> insert (stateChanged); the new-record
//   rule runs (each value it sets: calc fields, dataChanged(field)); the record is marked
//   unmodified; dataChanged(nullptr).
// - Edit: on an empty data set performs Insert; in edit/insert does nothing; else
//   state -> edit (stateChanged), dataUnchanged (the values are the stored ones).
// - Post (edit/insert only, else "<name>: Dataset not in edit or insert mode"):
//   updateRecord listeners write pending input; a text holding characters outside
//   Windows-1252 is refused ("Teksten kan ikke lagres: ..." naming them and the field's
//   display label); the record is written (writeInsert /
//   writeUpdate); state -> browse; dataChanged(nullptr) after an insert (the server may
//   have assigned values), dataUnchanged after an edit (the edit buffer is what is
//   stored). A failure at any step throws and leaves the state and the user's values as
//   they were.
// - Cancel: in edit/insert drops the changes (a record being inserted leaves the list);
//   state -> browse; dataChanged(nullptr). In browse nothing happens.
// - Delete: in insert works as Cancel. On an empty data set fails with
//   "<name>: Cannot perform this operation on an empty dataset". Otherwise updateRecord
//   listeners, the before-delete rule (may throw, e.g. SilentAbort: nothing changes),
//   writeDelete, the row leaves the list (neighbour becomes current), state -> browse
//   (stateChanged only if it was edit), dataChanged(nullptr).
// - First/Prior/Next/Last/moveTo (and Insert): updateRecord listeners write pending
//   input, then a pending record is posted when modified, else cancelled; then, when the current row changed, dataChanged(nullptr).
// - Setting a field (edit/insert only): the record becomes modified, the calculation rule
//   runs, dataChanged(field).
// - State changes are announced only when the state really changes.

#include "db/datasetlistener.h"
#include "db/field.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class RecordStore;

enum class DataSetState { Inactive, Browse, Edit, Insert };

class DataSet {
public:
    // `name` prefixes the data set's error texts ("MyTable: ...").
    explicit DataSet(QString name);
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const QString& name() const { return name_; }

    // --- Fields (define before open; the order is the record's order).
    Field* addField(const QString& fieldName, FieldKind kind, int size = 0);
    Field* addCalculatedField(const QString& fieldName, FieldKind kind);
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }
    int fieldCount() const { return int(fields_.size()); }
    Field* findField(const QString& fieldName) const;   // nullptr when missing
    Field* fieldByName(const QString& fieldName) const; // throws "<name>: Field '%s' not found"

    // --- Record rules, run by the data set itself.
    // Calculation rule: set the calculated fields from the others (runs for every record
    // as it is read, and for the current record after each field write while editing).
    std::function<void(DataSet&)> onCalcFields;
    // New-record rule, run by Insert after the state became insert.
    std::function<void(DataSet&)> onNewRecord;
    // Before-delete rule; throw to refuse the delete (SilentAbort refuses silently).
    std::function<void(DataSet&)> beforeDelete;

    // --- Listeners (not owned; remove before destroying them).
    void addListener(DataSetListener* listener);
    void removeListener(DataSetListener* listener);

    // --- Opening. open() reads the records (readRecords) and enters browse; close()
    // drops everything, a pending edit included, without writing.
    void open();
    void close();
    bool isActive() const { return state_ != DataSetState::Inactive; }
    DataSetState state() const { return state_; }
    bool isEditing() const { return state_ == DataSetState::Edit || state_ == DataSetState::Insert; }
    // Whether a field was set since the edit/insert began (the new-record rule's values
    // do not count).
    bool isModified() const { return modified_; }

    // --- Rows and the current record.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int currentRow() const { return current_; }   // -1 when empty
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }

    // --- Operations (see the contract above).
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void first();
    void prior();
    void next();
    void last();
    void moveBy(int distance);
    void moveTo(int row);

    // Appends a stored record (values in field order; missing or invalid = null) without
    // writing anything; computes its calculated fields. Fills an in-memory data set, in
    // any state but edit/insert.
    void appendRecord(const QVariantList& values);

    // The stored records, for readers that walk every row (the exports) without a
    // QVariant per value. In the browse state its rows are the list's rows.
    const RecordStore& records() const { return *store_; }

    // The calculation rule of the current record once more, then dataChanged(nullptr).
    void refreshCurrent();

    // Reads the records again (readRecords). A pending edit or insert is ended first as a
    // move ends it; when that fails, nothing is read. The new records are read beside the
    // old ones, which are released as soon as the new ones are complete; a failed read
    // throws and keeps the old ones and the current record. The current record stays the
    // one with the same recordKey(), else the one that took its place (see
    // rowAfterRefresh); then aboutToReset/reset and dataChanged(nullptr).
    void refresh();

    // The Windows-1252 bytes of a stored String or Memo value, without a copy (empty for
    // null and for the row being inserted; the row being edited gives its stored value).
    // Valid until the records change.
    QByteArrayView storedText(int row, const Field& field) const;
    // Calls match(row, storedText(row, field)) for the rows in [first, last) in order
    // until it returns true; that row, else -1. The row being inserted is skipped. Faster
    // than storedText row by row.
    int findStoredText(const Field& field, int first, int last, const std::function<bool(int row, QByteArrayView bytes)>& match) const;

protected:
    // Reads the stored records at open and refresh (use appendRecord or store()); default: none.
    virtual void readRecords() {}
    // The fields that tell a record from the others across a refresh; none: the row number.
    virtual std::vector<const Field*> recordKey() const { return {}; }
    // Writes the record in the edit buffer. Default: nothing (an in-memory data set).
    // writeInsert may store server-assigned values through storeAssigned().
    virtual void writeInsert() {}
    virtual void writeUpdate() {}
    // Writes the removal of the stored record at `row` (its stored values: storedValue).
    virtual void writeDelete(int row) { (void)row; }

    // For derived data sets: direct access to the record store and the edit buffer.
    RecordStore& store() { return *store_; }
    // Lays the store out for the fields as they are now (after readRecords changed them).
    void resetLayout();
    static void setFieldSize(Field& field, int size) { field.size_ = size; }
    QVariant storedValue(int row, const Field& field) const;
    // Field by field, whether it was set since Edit or Insert (Field::wasWritten); empty
    // outside those states.
    const std::vector<bool>& writtenFields() const { return written_; }
    // Sets a field in the edit buffer without any notification, modified mark or rule
    // (values that the server assigned on insert).
    void storeAssigned(const Field& field, const QVariant& value);
    // Runs the calculation rule for the stored row `row` (after the store has it).
    void calculateStoredRow(int row);
    [[noreturn]] void fail(const QString& message) const;

private:
    friend class Field;

    QVariant currentValue(const Field& field) const;
    QVariant rowValue(int row, const Field& field) const;
    QVariant oldValueOf(const Field& field) const;
    bool writtenOf(const Field& field) const { return isEditing() && written_[field.index()]; }
    void setFieldValue(const Field& field, QVariant value);
    QVariant normalized(const Field& field, QVariant value) const;

    int storeRow(int row) const;   // row of the list -> row of the store (-1: insert row)
    void setState(DataSetState state);
    void checkBrowseMode();       // post when modified, else cancel
    // Throws when a text of the edit buffer holds characters Windows-1252 cannot hold.
    void checkStorableText() const;
    void loadEditBuffer();
    void runCalcFields();
    void setCurrent(int row, bool notify);

    template <class F>
    void notify(F&& f);

    QString name_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<int> calculated_;        // indices of the calculated fields
    std::vector<DataSetListener*> listeners_;
    std::unique_ptr<RecordStore> store_;

    DataSetState state_ = DataSetState::Inactive;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    int insertRow_ = -1;                 // list row of the record being inserted
    std::vector<QVariant> buffer_;       // the record being edited or inserted
    std::vector<bool> written_;
    int calcRow_ = -1;                   // stored row whose calculated fields are being set
    bool inCalc_ = false;
};

template <class F>
void DataSet::notify(F&& f)
{
    const auto listeners = listeners_; // a callback may add or remove listeners
    for (DataSetListener* l : listeners)
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
            f(*l);
}
