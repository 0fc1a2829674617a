#pragma once
// The price list window: the program's main window. It owns the product table, its
// connection and its data source for the whole run.

#include "db/connection.h"
#include "db/datasource.h"
#include "db/dbgrid.h"
#include "pricelist/producttable.h"

#include <QMainWindow>

class QAction;
class QMenu;
class QToolButton;

class TPrislisteForm : public QMainWindow {
    Q_OBJECT
public:
    // Opens the product table; throws when that fails (the program does not start).
    explicit TPrislisteForm(QWidget* parent = nullptr);
    ~TPrislisteForm() override;

    // Declared in this order: the table goes before its connection, which then quits.
    DbConnection MyConnection;
    ProductTable MyTable{MyConnection};
    // Owned by the window (Qt children); they exist before the table opens.
    DataSource* MyDataSource;
    DBGrid* DBGrid1;
    QMenu* Oppsett1;
    QAction* Webmapper1;
    // The list's own commands (find, refresh, print, export) beside "Oppsett".
    QMenu* Prisliste1;
    QToolButton* NewButton;
    QToolButton* DelButton;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;

    // Enables the detail dialog's "Lagre", "Avbryt", "Ny" and "Slett" by the table's state
    // (also run by the dialog when it shows).
    void MyDataSourceStateChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void NewButtonClick();
    void DelButtonClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Webmapper1Click();
    void DBGrid1DblClick();
    void showDetailDialog();
    void DBGrid1DrawColumnCell(GridCellDrawing& cell);
    void MyDataSourceDataChange(const Field* field);
};
