#include "pricelist/prisliste.h"

#include "common/errorreport.h"
#include "common/windowplacement.h"
#include "pricelist/connectionvalues.h"
#include "pricelist/finnform.h"

#include <QCloseEvent>
#include <QColor>
#include <QMenuBar>
#include <QShowEvent>

TPrislisteForm::TPrislisteForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("PrislisteForm"));
    setWindowTitle(QStringLiteral("Brisvald Blomster Søm & Shop"));

    // Menu bar MainMenu1: "Oppsett" > "Web-mappe".
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    Oppsett1 = menuBar()->addMenu(QStringLiteral("Oppsett"));
    Oppsett1->setObjectName(QStringLiteral("Oppsett1"));
    Webmapper1 = Oppsett1->addAction(QStringLiteral("Web-mappe"));
    Webmapper1->setObjectName(QStringLiteral("Webmapper1"));
    connect(Webmapper1, &QAction::triggered, this, [this] { guarded([this] { Webmapper1Click(); }); });
    Prisliste1 = menuBar()->addMenu(QStringLiteral("Prisliste"));
    Prisliste1->setObjectName(QStringLiteral("Prisliste1"));
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
    MyDataSource = new DataSource(this);
    MyDataSource->setObjectName(QStringLiteral("MyDataSource"));
    MyDataSource->setDataSet(&MyTable);
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
    DBGrid1->setColumns({{QStringLiteral("producttext"), QStringLiteral("Tekst"), Qt::AlignLeft, Qt::AlignLeft, 300},
                         {QStringLiteral("utpris"), QStringLiteral("Pris"), Qt::AlignRight, Qt::AlignRight, 0}});
    DBGrid1->onDrawColumnCell = [this](GridCellDrawing& cell) { DBGrid1DrawColumnCell(cell); };
    DBGrid1->setDataSource(MyDataSource);

    // The table opens its connection first, then reads every product.
    MyConnection.setSettings(productDatabaseSettings());
    MyTable.open();
}

TPrislisteForm::~TPrislisteForm()
{
    // The table goes before the window's children: nothing may listen to it by then.
    MyDataSource->setDataSet(nullptr);
}

void TPrislisteForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TPrislisteForm::closeEvent(QCloseEvent* event)
{
    guarded([this] { FormClose(); });
    QMainWindow::closeEvent(event);
}

void TPrislisteForm::FormShow()
{
    QString mode = QStringLiteral("OnlyPos");
    loadwindowpos(this, QStringLiteral("PrisListeForm"), mode);
}

void TPrislisteForm::FormClose()
{
    savewindowpos(this, QStringLiteral("PrisListeForm"), QString());
}

void TPrislisteForm::Webmapper1Click()
{
    // Shows the web folder setup dialog once that dialog exists.
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
    // Keeps the product detail dialog's buttons in step once that dialog exists.
}

void TPrislisteForm::MyDataSourceDataChange(const Field* /*field*/)
{
    // Refreshes the product detail dialog once that dialog exists.
}
