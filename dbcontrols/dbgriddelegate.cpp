#include "dbcontrols/dbgriddelegate.h"

#include "common/errorreport.h"
#include "dbcontrols/dbgrid.h"
#include "dbcontrols/dbgridmodel.h"
#include "dbcontrols/gridcelldrawing.h"

#include <QPainter>

DBGridDelegate::DBGridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid)
{
}

void DBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    GridCellDrawing cell;
    cell.painter = painter;
    cell.option = option;
    // The row is selected as a whole; no cell of it gets a focus frame.
    cell.option.state &= ~QStyle::State_HasFocus;
    cell.index = index;
    cell.row = index.row();
    cell.column = index.column();
    cell.field = grid_->gridModel()->columnField(index.column());
    if (!grid_->onDrawColumnCell) {
        drawDefault(cell);
        return;
    }
    bool drawn = false;
    guarded([&] {
        grid_->onDrawColumnCell(cell);
        drawn = true;
    });
    if (!drawn)
        drawDefault(cell);
}

void DBGridDelegate::drawDefault(GridCellDrawing& cell) const
{
    QStyledItemDelegate::paint(cell.painter, cell.option, cell.index);
    // Horizontal lines only: one under each row.
    const QStyleOptionViewItem& o = cell.option;
    const int gridHint = grid_->style()->styleHint(QStyle::SH_Table_GridLineColor, &o, grid_);
    const QColor lineColor = QColor::fromRgba(uint(gridHint));
    cell.painter->save();
    cell.painter->setPen(lineColor);
    cell.painter->drawLine(o.rect.bottomLeft(), o.rect.bottomRight());
    cell.painter->restore();
}
