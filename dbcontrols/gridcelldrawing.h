#pragma once
// One cell of the list grid as it is drawn: what a drawing hook may look at and change
// before it has the cell drawn in the grid's default way.

#include <QModelIndex>
#include <QStyleOptionViewItem>

class Field;
class QPainter;

struct GridCellDrawing {
    QPainter* painter = nullptr;
    QStyleOptionViewItem option;   // rectangle, state (selected, ...), font and palette
    QModelIndex index;
    int row = -1;                  // the data set's row being drawn
    int column = -1;
    Field* field = nullptr;        // the column's field (read the row with valueAt(row))

    bool selected() const { return option.state & QStyle::State_Selected; }
    // The colour the text is drawn in, on the normal and the selected background alike.
    void setFontColor(const QColor& color)
    {
        option.palette.setColor(QPalette::Text, color);
        option.palette.setColor(QPalette::HighlightedText, color);
        option.palette.setColor(QPalette::WindowText, color);
    }
};
