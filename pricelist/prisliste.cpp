#include "pricelist/prisliste.h"

#include "common/errorreport.h"
#include "common/windowplacement.h"
#include "pricelist/connectionvalues.h"

#include <QCloseEvent>
#include <QShowEvent>

TPrislisteForm::TPrislisteForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("PrislisteForm"));
    setWindowTitle(QStringLiteral("Brisvald Blomster Søm & Shop"));
    setFixedSize(459, 460);

    // The table opens its connection first, then reads every product.
    MyConnection.setSettings(productDatabaseSettings());
    MyTable.open();
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
