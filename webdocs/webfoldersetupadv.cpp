#include "webdocs/webfoldersetupadv.h"

#include "common/choosefolder.h"
#include "common/errorreport.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "webdocs/webfolderlayout.h"
#include "webdocs/webfoldersetup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableWidget>

// The shop's web site, the same one that holds the product pictures. Nothing in the
// program calls the script; the address is only offered in the list.
const char* const webfolderPullScript = "http://www.brisvald.no/tk7/bin/tk-document-pulldata.php";

namespace {

constexpr int pairCount = 9;

QString pairKey(int side, int n)
{
    return QStringLiteral("DOC_URL_TRANSELATE_%1_%2").arg(side).arg(n);
}

} // namespace

TWebfolderAdvForm::TWebfolderAdvForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("WebfolderAdvForm"));
    setWindowTitle(QStringLiteral("WEB-mapper, avanserte instillinger"));
    setFont(webfolderFont());
    setFixedSize(861, 432);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // The pull script's address: typed, or picked from the list
    Label1 = new QLabel(QStringLiteral("URL til generering av filer i database (pull):"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(26, 32);
    Label1->adjustSize();

    PullCombo = new QComboBox(this);
    PullCombo->setObjectName(QStringLiteral("PullCombo"));
    PullCombo->setGeometry(26, 51, 807, 21);
    PullCombo->setEditable(true);
    PullCombo->setInsertPolicy(QComboBox::NoInsert);
    takeAnyLength(PullCombo->lineEdit());
    PullCombo->addItem(QString::fromLatin1(webfolderPullScript));

    Transelate = new QCheckBox(QStringLiteral("Bruk oversetting av mappeplasseringer"), this);
    Transelate->setObjectName(QStringLiteral("Transelate"));
    Transelate->setGeometry(26, 120, 217, 17);
    fitText(Transelate);

    // The pairs: a heading row over nine editable rows, blocks of cells selectable
    Grid = new QTableWidget(pairCount, 2, this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setGeometry(26, 151, 807, 258);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->verticalHeader()->setDefaultSectionSize(25);
    QHeaderView* heading = Grid->horizontalHeader();
    heading->setFixedHeight(25);
    heading->setSectionResizeMode(QHeaderView::Fixed);
    heading->setDefaultSectionSize(400);
    heading->setSectionsClickable(false);
    heading->setHighlightSections(false);
    heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Grid->setShowGrid(true);
    Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A double-click picks a folder, so only typing and F2 open the editor. (A click on the
    // current cell would open it late, after the double-click time, over what was typed.)
    Grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    for (int column = 0; column < 2; ++column) {
        Grid->setHorizontalHeaderItem(column, new QTableWidgetItem);
        for (int row = 0; row < pairCount; ++row)
            Grid->setItem(row, column, new QTableWidgetItem);
    }

    setTabOrder(Grid, Transelate);
    setTabOrder(Transelate, PullCombo);
    Grid->setFocus(); // the first in the tab order has the focus when the dialog opens

    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { guarded([this] { GridDblClick(); }); });
    connect(heading, &QHeaderView::sectionDoubleClicked, this, [this] { guarded([this] { GridDblClick(); }); });
}

QString TWebfolderAdvForm::cell(int column, int row) const
{
    const QTableWidgetItem* item = row == 0 ? Grid->horizontalHeaderItem(column) : Grid->item(row - 1, column);
    return item ? item->text() : QString();
}

void TWebfolderAdvForm::setCell(int column, int row, const QString& text)
{
    QTableWidgetItem* item = row == 0 ? Grid->horizontalHeaderItem(column) : Grid->item(row - 1, column);
    if (item)
        item->setText(text);
}

void TWebfolderAdvForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (parentWidget())
        centreOverMainWindow(this, parentWidget());
    guarded([this] { FormShow(); });
}

void TWebfolderAdvForm::closeEvent(QCloseEvent* event)
{
    // A cell still being edited counts as typed: moving off it commits the editor.
    Grid->setCurrentIndex(QModelIndex());
    guarded([this] { FormClose(); });
    QDialog::closeEvent(event);
}

void TWebfolderAdvForm::keyPressEvent(QKeyEvent* event)
{
    // Only the close box closes the dialog, so that the settings are always written.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TWebfolderAdvForm::FormShow()
{
    setCell(0, 0, QStringLiteral("WEB-mappe"));
    setCell(1, 0, QStringLiteral("Lokal mappe"));
    for (int n = 1; n <= pairCount; ++n) {
        setCell(0, n, readinistring(pairKey(0, n)));
        setCell(1, n, readinistring(pairKey(1, n)));
    }
    Grid->setCurrentCell(0, 0);
    Transelate->setChecked(readinibool(QStringLiteral("DOC_URL_TRANSELATE")));
    PullCombo->setCurrentIndex(-1);
    PullCombo->setEditText(readinistring(QStringLiteral("DOC_URL_PULL")));
}

void TWebfolderAdvForm::FormClose()
{
    const QChar separator = Platform::separator();
    for (int n = 1; n <= pairCount; ++n) {
        QString web = cell(0, n);
        if (web.isEmpty())
            continue; // a pair stored before stays as it was
        if (!web.endsWith(u'/'))
            web += u'/';
        writeinistring(pairKey(0, n), web);
        QString local = cell(1, n);
        if (!local.isEmpty() && !local.endsWith(separator))
            local += separator;
        writeinistring(pairKey(1, n), local);
    }
    writeinibool(QStringLiteral("DOC_URL_TRANSELATE"), Transelate->isChecked());
    writeinistring(QStringLiteral("DOC_URL_PULL"), PullCombo->currentText());
}

void TWebfolderAdvForm::GridDblClick()
{
    // Always the local folder of the current row, whichever cell was double-clicked.
    const int row = std::max(Grid->currentRow(), 0) + 1;
    setCell(1, row, choosefolder(cell(1, row)));
}

void showwebfolderadv()
{
    const TWebfolderForm* setup = webfolderForm();
    TWebfolderAdvForm form(setup ? setup->parentWidget() : nullptr);
    form.exec();
}
