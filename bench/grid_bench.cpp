// Paging through the list grid: Page Down from the first to the last product, drawn
// offscreen after every key, with 10,000 and with 1,000,000 products in memory. Prints
// the time per page and the heap the grid adds per row beyond the data set's records.
#include "common/regional.h"
#include "db/datasource.h"
#include "dbcontrols/dbgrid.h"
#include "dbcontrols/dbgridmodel.h"
#include "tests/db/productset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <malloc.h>

namespace {

long long heapInUse()
{
    malloc_trim(0);
    return static_cast<long long>(mallinfo2().uordblks);
}

void run(int rows)
{
    ProductSet table;
    table.open();
    for (int i = 0; i < rows; ++i)
        table.add(QStringLiteral("Vare %1").arg(i, 7, 10, QLatin1Char('0')), 10.0 + i % 1000, i % 3 == 2 ? 1 : 0);
    table.first();
    DataSource source;
    source.setDataSet(&table);

    const long long before = heapInUse();
    DBGridModel model;
    model.setColumns({{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300},
                      {QStringLiteral("utpris"), QStringLiteral("Pris"), Qt::AlignRight, Qt::AlignRight, 0}});
    model.setDataSource(&source);
    const long long withModel = heapInUse();

    DBGrid grid;
    grid.setColumns(model.columns());
    grid.onDrawColumnCell = [&](GridCellDrawing& cell) {
        if (table.web->valueAt(cell.row).toInt() == 1)
            cell.setFontColor(QColor(0, 128, 0));
        grid.defaultDrawColumnCell(cell);
    };
    grid.resize(409, 360);
    const long long beforeGrid = heapInUse();
    grid.setDataSource(&source);
    grid.show();
    QApplication::setActiveWindow(&grid);
    QTest::qWaitForWindowExposed(&grid);
    grid.viewport()->repaint();
    const long long withGrid = heapInUse();

    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    while (table.currentRow() < rows - 1) {
        QTest::keyClick(&grid, Qt::Key_PageDown);
        grid.viewport()->repaint();
        ++pages;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const long long afterPaging = heapInUse();

    std::printf("%9d rows: %6d pages of %d rows, %.1f ms in all, %.4f ms per page\n", rows, pages,
                grid.visibleRowCount(), ms, ms / pages);
    std::printf("%9s       heap per row: model %.2f bytes, grid view (model, headers, selection) %.2f bytes, "
                "after paging %.2f bytes\n",
                "", double(withModel - before) / rows, double(withGrid - beforeGrid) / rows,
                double(afterPaging - beforeGrid) / rows);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setRegional(RegionalSettings::norwegian());
    run(10'000);
    run(1'000'000);
    return 0;
}
