#include "webdocs/webfoldersetup.h"

#include "common/choosefolder.h"
#include "common/errorreport.h"
#include "common/hs_reg.h"
#include "common/settingssection.h"
#include "webdocs/webfolderlayout.h"
#include "webdocs/webfoldersetupadv.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>

namespace {

TWebfolderForm* processForm = nullptr;

// An edit with its caption just above it, as the dialog's two edits have.
QLineEdit* labelledEdit(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, 21);
    takeAnyLength(edit);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name + QStringLiteral("Label"));
    label->setGeometry(left, top - 16, width, 13);
    label->setBuddy(edit);
    fitText(label);
    return edit;
}

} // namespace

TWebfolderForm* webfolderForm()
{
    return processForm;
}

TWebfolderForm::TWebfolderForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("WebfolderForm"));
    setWindowTitle(QStringLiteral("Oppsett WEB-mapper"));
    setFont(webfolderFont());
    setFixedSize(596, 292);

    // The two switches; the note under the picture switch in grey
    UseURL = new QCheckBox(QStringLiteral("Aktiver WEB-mappe"), this);
    UseURL->setObjectName(QStringLiteral("UseURL"));
    UseURL->setGeometry(40, 40, 153, 17);
    QFont bold = font();
    bold.setBold(true);
    UseURL->setFont(bold);
    fitText(UseURL);

    URLImages = new QCheckBox(QStringLiteral("Last bilder fra WEB"), this);
    URLImages->setObjectName(QStringLiteral("URLImages"));
    URLImages->setGeometry(296, 40, 121, 17);
    fitText(URLImages);

    Label1 = new QLabel(QStringLiteral("Laster bilder i fra WEB-mappe, hvis de ikke finnes lokalt på disken."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(314, 60, 167, 26);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette grey = Label1->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label1->setPalette(grey);
    fitText(Label1);

    // The local folder with its chooser button, then the URL
    docfolder = labelledEdit(this, QStringLiteral("docfolder"), QStringLiteral("Lokal dokumentmappe:"), 40, 143, 489);

    FolderButton = new QToolButton(this);
    FolderButton->setObjectName(QStringLiteral("FolderButton"));
    FolderButton->setGeometry(530, 143, 23, 21);
    FolderButton->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    FolderButton->setAutoRaise(true);
    FolderButton->setFocusPolicy(Qt::NoFocus);

    DocumentURL = labelledEdit(this, QStringLiteral("DocumentURL"), QStringLiteral("URL til dokumenter:"), 40, 191, 489);

    AdvButton = new QPushButton(QStringLiteral("Avansert ..."), this);
    AdvButton->setObjectName(QStringLiteral("AdvButton"));
    AdvButton->setGeometry(454, 240, 75, 25);
    AdvButton->setAutoDefault(false); // Enter in an edit does not open the advanced dialog

    setTabOrder(UseURL, URLImages);
    setTabOrder(URLImages, docfolder);
    setTabOrder(docfolder, DocumentURL);
    setTabOrder(DocumentURL, AdvButton);
    UseURL->setFocus(); // the first in the tab order has the focus when the dialog opens

    connect(UseURL, &QCheckBox::toggled, this, [this] { guarded([this] { UseURLClick(); }); });
    connect(FolderButton, &QToolButton::clicked, this, [this] { guarded([this] { FolderButtonClick(); }); });
    connect(AdvButton, &QPushButton::clicked, this, [this] { guarded([this] { AdvButtonClick(); }); });

    if (parent)
        parent->installEventFilter(this);
    if (!processForm)
        processForm = this;
}

TWebfolderForm::~TWebfolderForm()
{
    if (processForm == this)
        processForm = nullptr;
}

void TWebfolderForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (parentWidget())
        centreOverMainWindow(this, parentWidget()); // at every showing, wherever the main window is now
    guarded([this] { FormShow(); });
}

void TWebfolderForm::closeEvent(QCloseEvent* event)
{
    guarded([this] { FormClose(); });
    QDialog::closeEvent(event);
}

void TWebfolderForm::keyPressEvent(QKeyEvent* event)
{
    // Only the close box closes the dialog, so that the settings are always written.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool TWebfolderForm::eventFilter(QObject* watched, QEvent* event)
{
    // The main window is going away: close the dialog as the user would have.
    if (watched == parentWidget() && event->type() == QEvent::Hide && !event->spontaneous() && isVisible())
        close();
    return QDialog::eventFilter(watched, event);
}

void TWebfolderForm::FormShow()
{
    DocumentURL->setText(readinistring(QStringLiteral("DOC_URL")));
    docfolder->setText(readinistring(QStringLiteral("DOC_LOCAL")));
    UseURL->setChecked(readinibool(QStringLiteral("DOC_URL_ACTIVE")));
    URLImages->setChecked(readinibool(QStringLiteral("DOC_URL_USEIMAGES")));

    // Defaults, only shown: they are stored when the dialog closes, like any edit.
    if (docfolder->text().isEmpty())
        docfolder->setText(kvarnelopath(QStringLiteral("data\\docs")));
    if (DocumentURL->text().isEmpty()) {
        // STANDARD afterwards, whatever was current before.
        const SettingsSection firma(QStringLiteral("FIRMA_SQL"), SettingsSection::Afterwards::Standard);
        DocumentURL->setText(QStringLiteral("http://") + readinistring(QStringLiteral("Servername")) + u'/');
    }
    UseURLClick();
}

void TWebfolderForm::FormClose()
{
    // As typed: nothing added, trimmed or tested.
    writeinistring(QStringLiteral("DOC_URL"), DocumentURL->text());
    writeinistring(QStringLiteral("DOC_LOCAL"), docfolder->text());
    writeinibool(QStringLiteral("DOC_URL_ACTIVE"), UseURL->isChecked());
    writeinibool(QStringLiteral("DOC_URL_USEIMAGES"), URLImages->isChecked());
}

void TWebfolderForm::UseURLClick()
{
    const bool active = UseURL->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(DocumentURL), static_cast<QWidget*>(docfolder),
                             static_cast<QWidget*>(URLImages), static_cast<QWidget*>(FolderButton),
                             static_cast<QWidget*>(AdvButton)})
        control->setEnabled(active);
}

void TWebfolderForm::FolderButtonClick()
{
    docfolder->setText(choosefolder(docfolder->text()));
}

void TWebfolderForm::AdvButtonClick()
{
    showwebfolderadv();
}
