#pragma once
// The list grid: a read-only table over the data source's data set. It selects whole
// rows (also visible without the focus), draws horizontal lines only, shows no title row
// and no row indicator, and never edits. The current row is the data set's current
// record; the keys and clicks move the data set, and the grid follows it.
//
// Keys: Esc cancels a pending edit or insert; Up/Left and Down/Right move one record
// (an unmodified new record is cancelled: by Up when it is the last record, by Down when
// it is not); Page Up/Down move by the rows in view; Home/End and Ctrl+Home/End go to
// the first/last record; Ctrl+Page Up/Down to the first/last row in view; Ctrl+Delete
// asks "Delete record?" and deletes on OK; Insert and F2 do nothing.
// Type-ahead: printable characters (no Ctrl or Alt) move, as a click does, to the first
// record from the current one on, wrapping around, whose first column begins with what
// was typed, ignoring case; Backspace shortens it, a pause of a second starts it anew,
// and the keys above or a click forget it. Nothing found: a beep, no move.

#include "dbcontrols/gridcolumn.h"
#include "dbcontrols/gridcelldrawing.h"
#include "find/typeahead.h"

#include <QTableView>
#include <functional>
#include <vector>

class DataSet;
class DataSource;
class DBGridDelegate;
class DBGridModel;

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const;
    void setColumns(std::vector<GridColumn> columns);
    DBGridModel* gridModel() const { return model_; }

    // Draws every cell when set (DBGrid1DrawColumnCell); it may change the cell's font
    // colour and then calls defaultDrawColumnCell. Errors go to the error report.
    std::function<void(GridCellDrawing& cell)> onDrawColumnCell;
    void defaultDrawColumnCell(GridCellDrawing& cell);

    // Rows that fit in the view completely (at least 1), and the first row in view.
    int visibleRowCount() const;
    int topRow() const;

    TypeAhead& typeAhead() { return typeAhead_; }

signals:
    // A double click anywhere in the grid.
    void dblClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    DataSet* openDataSet() const;
    void handleKey(QKeyEvent* event);
    bool typeAheadKey(QKeyEvent* event);
    void moveUp(DataSet& ds);
    void moveDown(DataSet& ds);
    void confirmDelete(DataSet& ds);
    void followCurrent();
    void updateRowHeight();
    void applyColumnWidths();
    int defaultColumnWidth(int column) const;

    DBGridModel* model_;
    DBGridDelegate* delegate_;
    TypeAhead typeAhead_;
};
