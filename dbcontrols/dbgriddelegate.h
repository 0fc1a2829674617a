#pragma once
// Draws the list grid's cells: through the grid's drawing hook when it has one, else in
// the default way (the text, the whole-row selection, a line under each row).

#include <QStyledItemDelegate>

class DBGrid;
struct GridCellDrawing;

class DBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DBGridDelegate(DBGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The default drawing of one cell, as the cell's option says.
    void drawDefault(GridCellDrawing& cell) const;

private:
    DBGrid* grid_;
};
