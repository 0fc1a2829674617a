#include "dbcontrols/dbgrid.h"

#include "common/errorreport.h"
#include "common/messages.h"
#include "dbcontrols/boundinput.h"
#include "db/dataset.h"
#include "db/datasource.h"
#include "dbcontrols/dbgriddelegate.h"
#include "dbcontrols/dbgridmodel.h"
#include "find/textsearch.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), model_(new DBGridModel(this)), delegate_(new DBGridDelegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    updateRowHeight();

    // The selected row keeps its highlight when the grid loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    model_->currentChanged = [this] { followCurrent(); };
}

void DBGrid::setDataSource(DataSource* source)
{
    model_->setDataSource(source);
    applyColumnWidths();
    followCurrent();
}

DataSource* DBGrid::dataSource() const
{
    return model_->dataSource();
}

void DBGrid::setColumns(std::vector<GridColumn> columns)
{
    model_->setColumns(std::move(columns));
    applyColumnWidths();
    followCurrent();
}

void DBGrid::defaultDrawColumnCell(GridCellDrawing& cell)
{
    delegate_->drawDefault(cell);
}

DataSet* DBGrid::openDataSet() const
{
    return model_->dataSet();
}

int DBGrid::topRow() const
{
    // Scrolled by whole rows: the scroll bar's value is the top row (the hidden header's
    // own offset may lag behind it).
    return std::max(0, verticalScrollBar()->value());
}

int DBGrid::visibleRowCount() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / rowHeight);
}

void DBGrid::updateRowHeight()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

int DBGrid::defaultColumnWidth(int column) const
{
    // Room for the field's usual number of characters, like a column nobody sized.
    const Field* f = model_->columnField(column);
    int chars = 10;
    if (f && f->kind() == FieldKind::String && f->size() > 0)
        chars = std::min(f->size(), 64);
    return chars * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
}

void DBGrid::applyColumnWidths()
{
    const auto& columns = model_->columns();
    for (int c = 0; c < int(columns.size()); ++c)
        setColumnWidth(c, columns[size_t(c)].width > 0 ? columns[size_t(c)].width : defaultColumnWidth(c));
}

void DBGrid::followCurrent()
{
    const DataSet* ds = openDataSet();
    const int row = ds ? ds->currentRow() : -1;
    if (row < 0 || model_->columnCount() == 0) {
        selectionModel()->clear();
        return;
    }
    const int column = std::max(0, currentIndex().column());
    const QModelIndex index = model_->index(row, column);
    if (index != currentIndex() || !selectionModel()->isRowSelected(row, {}))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // A cell in full view would not scroll, and scrollTo() would still repaint it.
    if (!viewport()->rect().contains(visualRect(index)))
        scrollTo(index, QAbstractItemView::EnsureVisible);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    guarded([&] {
        if (typeAheadKey(event))
            return;
        handleKey(event);
        if (event->isAccepted())
            typeAhead_.reset();
    });
    followCurrent();
}

void DBGrid::handleKey(QKeyEvent* event)
{
    DataSet* ds = openDataSet();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    event->accept();
    switch (event->key()) {
    case Qt::Key_Escape:
        if (ds)
            ds->cancel();
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (ds)
            moveUp(*ds);
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (ds)
            moveDown(*ds);
        return;
    case Qt::Key_PageUp:
        if (ds) {
            if (ctrl)
                ds->moveTo(topRow());
            else
                ds->moveBy(-visibleRowCount());
        }
        return;
    case Qt::Key_PageDown:
        if (ds) {
            if (ctrl)
                ds->moveTo(std::min(topRow() + visibleRowCount() - 1, ds->recordCount() - 1));
            else
                ds->moveBy(visibleRowCount());
        }
        return;
    case Qt::Key_Home:
        if (ds)
            ds->first();
        return;
    case Qt::Key_End:
        if (ds)
            ds->last();
        return;
    case Qt::Key_Insert:
    case Qt::Key_F2:
        return;   // the grid does not edit
    case Qt::Key_Delete:
        if (ctrl && ds)
            confirmDelete(*ds);
        return;
    default:
        event->ignore();
        return;
    }
}

bool DBGrid::typeAheadKey(QKeyEvent* event)
{
    DataSet* ds = openDataSet();
    const Field* field = model_->columnField(0);
    if (!ds || !field || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event->text();
    if (event->key() == Qt::Key_Backspace) {
        if (!typeAhead_.backspace())
            return false;
    } else if (typed.isEmpty() || !std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.isPrint(); })) {
        return false;
    } else {
        typeAhead_.type(typed);
    }
    event->accept();
    const int row = textsearch::findPrefix(*ds, *field, typeAhead_.text(), ds->currentRow());
    if (row < 0)
        boundinput::beep();
    else if (row != ds->currentRow())
        ds->moveTo(row);
    return true;
}

void DBGrid::moveUp(DataSet& ds)
{
    // Input still waiting in a bound control makes the new record a modified one.
    dataSource()->updateRecord();
    if (ds.state() == DataSetState::Insert && !ds.isModified() && ds.currentRow() == ds.recordCount() - 1) {
        ds.cancel();
        return;
    }
    ds.prior();
}

void DBGrid::moveDown(DataSet& ds)
{
    dataSource()->updateRecord();
    if (ds.state() == DataSetState::Insert && !ds.isModified() && ds.currentRow() < ds.recordCount() - 1) {
        ds.cancel();
        return;
    }
    ds.next();
}

void DBGrid::confirmDelete(DataSet& ds)
{
    MessageRequest request;
    request.caption = QStringLiteral("Confirm");
    request.text = QStringLiteral("Delete record?");
    request.icon = MessageIcon::Question;
    request.buttons = MessageButtons::OkCancel;
    if (showMessage(request) == MessageAnswer::Ok)
        ds.deleteRecord();
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    typeAhead_.reset();
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint().y());
        if (DataSet* ds = openDataSet(); ds && row >= 0 && row != ds->currentRow())
            guarded([&] { ds->moveTo(row); });
    }
    followCurrent();
    event->accept();
}

void DBGrid::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging does not select other rows: the selection is the current record.
    event->accept();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit dblClicked();
}

void DBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateRowHeight();
}
