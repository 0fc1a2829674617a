#pragma once
// The list grid's table model: adapts the data source's data set row by row. It holds no
// copy of any record and nothing per row; each cell is read from the data set when the
// view asks (the display text of the column's field), so the cost of the view follows the
// rows shown, not the rows held. It never edits.

#include "db/datalink.h"
#include "db/datasource.h"
#include "dbcontrols/gridcolumn.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <functional>
#include <vector>

class DataSet;
class Field;

class DBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DBGridModel(QObject* parent = nullptr);
    ~DBGridModel() override;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    // The open data set, or nullptr.
    DataSet* dataSet() const;

    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return columns_; }
    // The field of a column (nullptr when the data set lacks it or is closed).
    Field* columnField(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The view's own hooks, run after the model has followed the change.
    std::function<void()> currentChanged;   // the current record may be another one

private:
    // Follows the data source (a member, so its callbacks do not hide the model's
    // signals of the same names).
    class Link : public DataLink {
    public:
        explicit Link(DBGridModel& model) : model_(model) {}
        void dataChanged(const Field*) override { model_.followDataChange(); }
        // The row shows these values already; the view still follows the current record.
        void dataUnchanged() override
        {
            if (model_.currentChanged)
                model_.currentChanged();
        }
        void rowAboutToBeInserted(int row) override { model_.beginInsertRows({}, row, row); }
        void rowInserted(int) override { model_.endInsertRows(); }
        void rowAboutToBeRemoved(int row) override { model_.beginRemoveRows({}, row, row); }
        void rowRemoved(int) override { model_.endRemoveRows(); }
        void rowsAboutToBeReset() override { model_.beginResetModel(); }
        void rowsReset() override { model_.resolveFields(); model_.endResetModel(); }

    private:
        DBGridModel& model_;
    };

    void followDataChange();
    void resolveFields();

    Link link_{*this};
    QPointer<DataSource> source_;
    std::vector<GridColumn> columns_;
    std::vector<Field*> fields_;
};
