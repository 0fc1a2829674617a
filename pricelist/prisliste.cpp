#include "pricelist/prisliste.h"

#include "common/Felles.h"
#include "common/errorreport.h"
#include "common/quitsignal.h"
#include "common/textfil.h"
#include "common/windowplacement.h"
#include "pricelist/JaNei.h"
#include "pricelist/export/exportcommands.h"
#include "find/finnform.h"
#include "pricelist/flatbutton.h"
#include "pricelist/prisdata.h"
#include "pricelist/product/productfields.h"
#include "pricelist/shopaddress.h"
#include "webdocs/webfoldersetup.h"

#include <QCloseEvent>
#include <QColor>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QToolButton>

TPrislisteForm::TPrislisteForm(QWidget* parent) : TPrislisteForm(nullptr, parent)
{
}

TPrislisteForm::TPrislisteForm(std::unique_ptr<EarlyOpen> early, QWidget* parent)
    : QMainWindow(parent), session_(std::move(early), this)
{
    setObjectName(QStringLiteral("PrislisteForm"));
    setWindowTitle(shopName());

    // Menu bar MainMenu1: "Oppsett" > "Web-mappe".
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    Oppsett1 = menuBar()->addMenu(QStringLiteral("Oppsett"));
    Oppsett1->setObjectName(QStringLiteral("Oppsett1"));
    Webmapper1 = Oppsett1->addAction(QStringLiteral("Web-mappe"));
    Webmapper1->setObjectName(QStringLiteral("Webmapper1"));
    connect(Webmapper1, &QAction::triggered, this, [this] { guarded([this] { Webmapper1Click(); }); });
    Prisliste1 = menuBar()->addMenu(QStringLiteral("Prisliste"));
    Prisliste1->setObjectName(QStringLiteral("Prisliste1"));
    // Print and export: "Skriv ut..." and "Eksporter...".
    Skrivut1 = Prisliste1->addAction(QStringLiteral("Skriv ut..."));
    Skrivut1->setObjectName(QStringLiteral("Skrivut1"));
    Skrivut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(Skrivut1, &QAction::triggered, this, [this] { guarded([this] { Skrivut1Click(); }); });
    Eksporter1 = Prisliste1->addAction(QStringLiteral("Eksporter..."));
    Eksporter1->setObjectName(QStringLiteral("Eksporter1"));
    Eksporter1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(Eksporter1, &QAction::triggered, this, [this] { guarded([this] { Eksporter1Click(); }); });
    // Find and refresh: a find box of its own, and the product table read again.
    Finn1 = Prisliste1->addAction(QStringLiteral("Finn..."));
    Finn1->setObjectName(QStringLiteral("Finn1"));
    Finn1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(Finn1, &QAction::triggered, this, [this] { guarded([this] { Finn1Click(); }); });
    Oppdater1 = Prisliste1->addAction(QStringLiteral("Oppdater"));
    Oppdater1->setObjectName(QStringLiteral("Oppdater1"));
    Oppdater1->setShortcut(QKeySequence(Qt::Key_F5));
    connect(Oppdater1, &QAction::triggered, this, [this] { guarded([this] { Oppdater1Click(); }); });
    // The client area is 459 x 460 below the menu bar: the window grows by the bar.
    setFixedSize(459, 460 + menuBar()->sizeHint().height());

    // Data source: between the table and everything bound to it.
    MyDataSource->onStateChange = [this] { MyDataSourceStateChange(); };
    MyDataSource->onDataChange = [this](const Field* field) { MyDataSourceDataChange(field); };

    // The product list: text and out-price, web-shop rows drawn green.
    if (!centralWidget())
        setCentralWidget(new QWidget(this));
    DBGrid1 = new DBGrid(centralWidget());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(24, 73, 409, 360);
    QFont gridFont(QStringLiteral("Tahoma"));
    gridFont.setPixelSize(13);
    DBGrid1->setFont(gridFont);
    QPalette gridPalette = DBGrid1->palette();
    gridPalette.setColor(QPalette::Text, gridPalette.color(QPalette::WindowText));
    DBGrid1->setPalette(gridPalette);
    DBGrid1->setColumns({{productfield::producttext, QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300},
                         {productfield::utpris, QStringLiteral("Pris"), Qt::AlignRight, Qt::AlignRight, 0}});
    DBGrid1->onDrawColumnCell = [this](GridCellDrawing& cell) { DBGrid1DrawColumnCell(cell); };
    DBGrid1->setDataSource(MyDataSource);
    connect(DBGrid1, &DBGrid::dblClicked, this, [this] { guarded([this] { DBGrid1DblClick(); }); });

    // Flat buttons above the list, in the window's font; they never take the focus.
    QWidget* area = centralWidget();
    QFont buttonFont(QStringLiteral("Tahoma"));
    buttonFont.setPixelSize(11);
    area->setFont(buttonFont);
    NewButton = makeFlatButton(area, QStringLiteral("NewButton"), QStringLiteral("Ny"), QStyle::SP_FileIcon,
                               {24, 8, 65, 51}, [this] { NewButtonClick(); });
    DelButton = makeFlatButton(area, QStringLiteral("DelButton"), QStringLiteral("Slett"), QStyle::SP_TrashIcon,
                               {86, 8, 59, 51}, [this] { DelButtonClick(); });
    SpeedButton1 = makeFlatButton(area, QStringLiteral("SpeedButton1"), QStringLiteral("Rediger"),
                                  QStyle::SP_FileDialogDetailedView, {151, 8, 59, 51}, [this] { SpeedButton1Click(); });
    SpeedButton2 = makeFlatButton(area, QStringLiteral("SpeedButton2"), QStringLiteral("Hjemmesiden på nett"),
                                  QStyle::SP_DriveNetIcon, {312, 8, 114, 51}, [this] { SpeedButton2Click(); });

    session_.open();
}

TPrislisteForm::~TPrislisteForm() = default;

void TPrislisteForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TPrislisteForm::closeEvent(QCloseEvent* event)
{
    // Asked again while the question is open (another close request): not twice.
    if (askingToClose_) {
        event->ignore();
        return;
    }
    bool canClose = false;
    {
        const QScopedValueRollback asking(askingToClose_, true);
        guarded([&] { FormCloseQuery(canClose); });
    }
    if (!canClose) {
        event->ignore();
        return;
    }
    guarded([this] { FormClose(); });
    QMainWindow::closeEvent(event);
}

void TPrislisteForm::FormShow()
{
    QString mode = QStringLiteral("OnlyPos");
    loadwindowpos(this, QStringLiteral("PrisListeForm"), mode);
}

void TPrislisteForm::FormCloseQuery(bool& canClose)
{
    canClose = false; // an error on the way keeps the program open
    if (MyTable.isEditing() && quitRequested()) {
        // Perhaps nobody is there to answer: not a word on the screen, but one in the log.
        if (MyTable.isModified())
            WriteLog(QStringLiteral("ADVARSEL: Endringene i %1 ble ikke lagret: programmet ble avsluttet av systemet")
                         .arg(MyTable.MyTableproducttext->asString()));
    } else if (MyTable.isEditing()) {
        MyDataSource->updateRecord(); // what is still in a control counts as a change
        if (MyTable.isEditing() && MyTable.isModified()
            && askyesno(QStringLiteral("Vil du lagre endringene i ") + MyTable.MyTableproducttext->asString() + QLatin1Char('?'),
                        true))
            MyTable.post();
    }
    canClose = true;
}

void TPrislisteForm::FormClose()
{
    savewindowpos(this, QStringLiteral("PrisListeForm"), QString());
}

void TPrislisteForm::NewButtonClick()
{
    MyTable.insert();
    showDetailDialog();
    if (detailDialog_)
        detailDialog_->focusProductText();
}

void TPrislisteForm::DelButtonClick()
{
    MyTable.deleteRecord();
}

void TPrislisteForm::SpeedButton1Click()
{
    showDetailDialog();
}

void TPrislisteForm::DBGrid1DblClick()
{
    showDetailDialog();
}

void TPrislisteForm::SpeedButton2Click()
{
    shellopen(homePageAddress(), QString(), QString());
}

namespace {

// Shows a dialog without waiting for it (the list stays usable), or brings it to the
// front; a dialog that does not exist is skipped.
void showBeside(QWidget* dialog)
{
    if (!dialog)
        return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

void TPrislisteForm::showDetailDialog()
{
    showBeside(detailDialog_);
}

void TPrislisteForm::Webmapper1Click()
{
    showBeside(webfolderForm());
}

void TPrislisteForm::Skrivut1Click()
{
    printPriceList(MyTable, windowTitle(), this);
}

void TPrislisteForm::Eksporter1Click()
{
    exportPriceList(MyTable, windowTitle(), this);
}

void TPrislisteForm::Finn1Click()
{
    if (!FinnForm)
        FinnForm = new TFinnForm(*MyDataSource, {MyTable.MyTableproducttext, MyTable.MyTableobject_text}, this);
    FinnForm->showFind();
}

void TPrislisteForm::Oppdater1Click()
{
    MyTable.refresh();
}

void TPrislisteForm::DBGrid1DrawColumnCell(GridCellDrawing& cell)
{
    // The row being drawn, not the current record, decides the colour.
    if (MyTable.MyTableweb->valueAt(cell.row).toInt() == 1)
        cell.setFontColor(QColor(0, 128, 0));
    DBGrid1->defaultDrawColumnCell(cell);
}

void TPrislisteForm::MyDataSourceStateChange()
{
    if (!detailDialog_)
        return;
    const DataSetState state = MyDataSource->state();
    detailDialog_->showActionButtons(state == DataSetState::Edit || state == DataSetState::Insert);
}

void TPrislisteForm::MyDataSourceDataChange(const Field* field)
{
    if (!detailDialog_)
        return;
    detailDialog_->loadpicture();
    detailDialog_->showOutPrice(field == nullptr);
}

void TPrislisteForm::keepInStep(TPrisDataForm* dialog)
{
    if (!detailDialog_)
        detailDialog_ = dialog;
}

void TPrislisteForm::stopKeepingInStep(TPrisDataForm* dialog)
{
    if (detailDialog_ == dialog)
        detailDialog_ = nullptr;
}
