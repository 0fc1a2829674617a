#pragma once
// The price list window: the program's main window. It owns the product session (the
// product table, its connection and its data source) for the whole run.

#include "dbcontrols/dbgrid.h"
#include "pricelist/productsession.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QMenu;
class QToolButton;
class TFinnForm;
class TPrisDataForm;

class TPrislisteForm : public QMainWindow {
    Q_OBJECT
public:
    // Opens the product table; throws when that fails (the program does not start).
    // `early`: the list's select main sent before Qt started (null: none).
    explicit TPrislisteForm(QWidget* parent = nullptr);
    explicit TPrislisteForm(std::unique_ptr<EarlyOpen> early, QWidget* parent = nullptr);
    ~TPrislisteForm() override;

private:
    // Held by value, so its data source lets go of the table and the table goes before
    // the window's children, also when the constructor throws.
    ProductSession session_;

public:
    DbConnection& MyConnection = session_.MyConnection;
    ProductTable& MyTable = session_.MyTable;
    DataSource* const MyDataSource = &session_.MyDataSource;
    // Owned by the window (Qt children); they exist before the table opens.
    DBGrid* DBGrid1;
    QMenu* Oppsett1;
    QAction* Webmapper1;
    // The list's own commands (find, refresh, print, export) beside "Oppsett".
    QMenu* Prisliste1;
    QToolButton* NewButton;
    QToolButton* DelButton;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;

    QAction* Skrivut1;   // "Skriv ut..." (Ctrl+P)
    QAction* Eksporter1; // "Eksporter..." (Ctrl+E)
    // Finding a product and reading the list again: "Finn..." (Ctrl+F), "Oppdater" (F5).
    QAction* Finn1;
    QAction* Oppdater1;
    TFinnForm* FinnForm = nullptr; // made on the first "Finn..."

    // Enables the detail dialog's "Lagre", "Avbryt", "Ny" and "Slett" by the table's state
    // (also run by the dialog when it shows).
    void MyDataSourceStateChange();

    // The detail dialog this window keeps in step with the table: the dialog tells the
    // window when it is made and when it goes. A window keeps the first one it is given;
    // without one, the handlers only act on the table.
    void keepInStep(TPrisDataForm* dialog);
    void stopKeepingInStep(TPrisDataForm* dialog);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    // Before the window closes: a pending edit or insert with changes is offered for
    // saving ("Ja" posts it; a failed post keeps the program open); when the system asked
    // the program to end, the dropped edit is logged instead. canClose stays false when an
    // error comes on the way.
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void NewButtonClick();
    void DelButtonClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Webmapper1Click();
    void DBGrid1DblClick();
    void showDetailDialog();
    void Skrivut1Click();
    void Eksporter1Click();
    void Finn1Click();
    void Oppdater1Click();
    void DBGrid1DrawColumnCell(GridCellDrawing& cell);
    void MyDataSourceDataChange(const Field* field);

    bool askingToClose_ = false;
    TPrisDataForm* detailDialog_ = nullptr;
};
