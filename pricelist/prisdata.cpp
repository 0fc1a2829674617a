#include "pricelist/prisdata.h"

#include "common/errorreport.h"
#include "common/hs_reg.h"
#include "common/regional.h"
#include "common/windowplacement.h"
#include "dbcontrols/dbcheckbox.h"
#include "dbcontrols/dbedit.h"
#include "dbcontrols/dbmemo.h"
#include "dbcontrols/dbtext.h"
#include "pricelist/flatbutton.h"
#include "pricelist/outpriceedit.h"
#include "pricelist/pictures/picturebox.h"
#include "pricelist/pictureneighbours.h"
#include "pricelist/prisliste.h"
#include "pricelist/product/productfields.h"
#include "pricelist/product/productrules.h"
#include "pricelist/shopaddress.h"
#include "webdocs/webdocument.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QToolButton>

namespace {

constexpr int bandHeight = 49;

QFont windowFont(int pixelSize = 11, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, QPoint at, bool bold = false)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (bold)
        label->setFont(windowFont(11, true));
    label->adjustSize();
    label->move(at);
    return label;
}

template <class Control>
Control* bind(Control* control, DataSource* source, const QString& name, const QString& field, const QRect& geometry)
{
    control->setObjectName(name);
    control->setGeometry(geometry);
    control->setDataSource(source);
    control->setDataField(field);
    return control;
}

QFrame* makeSeparator(QWidget* parent, const QString& name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TPrisDataForm::TPrisDataForm(TPrislisteForm& priceList)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint),
      priceList_(priceList)
{
    setObjectName(QStringLiteral("PrisDataForm"));
    setWindowTitle(QStringLiteral("Detaljer"));
    setFixedSize(457, 616);
    setFont(windowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);

    buildButtonBand();
    buildRecordControls();

    priceList_.keepInStep(this);
    showOutPrice();
}

TPrisDataForm::~TPrisDataForm()
{
    // Before the controls go: the list window tells this dialog nothing more.
    priceList_.stopKeepingInStep(this);
}

ProductTable& TPrisDataForm::table() const
{
    return priceList_.MyTable;
}

void TPrisDataForm::buildButtonBand()
{
    // A band without bevel in the colour of an inactive title bar's gradient.
    MenuPanel = new QFrame(this);
    MenuPanel->setObjectName(QStringLiteral("MenuPanel"));
    MenuPanel->setGeometry(0, 0, width(), bandHeight);
    QPalette band = MenuPanel->palette();
    band.setColor(QPalette::Window, QColor(215, 228, 242));
    MenuPanel->setPalette(band);
    MenuPanel->setAutoFillBackground(true);

    // Left to right, each filling the band's height.
    int left = 0;
    auto place = [&](QWidget* item, int width) {
        item->setGeometry(left, 0, width, bandHeight);
        left += width;
    };
    auto button = [&](const char* name, const QString& caption, QStyle::StandardPixmap picture, int width,
                      std::function<void()> onClick) {
        QToolButton* b = makeFlatButton(MenuPanel, QString::fromLatin1(name), caption, picture,
                                        QRect(left, 0, width, bandHeight), std::move(onClick));
        left += width;
        return b;
    };
    Bevel2 = makeSeparator(MenuPanel, QStringLiteral("Bevel2"));
    place(Bevel2, 8);
    NewButton = button("NewButton", QStringLiteral("Ny"), QStyle::SP_FileIcon, 65, [this] { NewButtonClick(); });
    DelButton = button("DelButton", QStringLiteral("Slett"), QStyle::SP_TrashIcon, 65, [this] { DelButtonClick(); });
    CancelButton = button("CancelButton", QStringLiteral("Avbryt"), QStyle::SP_DialogCancelButton, 65,
                          [this] { CancelButtonClick(); });
    SaveButton = button("SaveButton", QStringLiteral("Lagre"), QStyle::SP_DialogSaveButton, 65,
                        [this] { SaveButtonClick(); });
    Bevel3 = makeSeparator(MenuPanel, QStringLiteral("Bevel3"));
    place(Bevel3, 8);
    FirstButton = button("FirstButton", QString(), QStyle::SP_MediaSkipBackward, 33, [this] { FirstButtonClick(); });
    SpeedButton1 = button("SpeedButton1", QString(), QStyle::SP_MediaSeekBackward, 33, [this] { SpeedButton1Click(); });
    SpeedButton2 = button("SpeedButton2", QString(), QStyle::SP_MediaSeekForward, 33, [this] { SpeedButton2Click(); });
    LastButton = button("LastButton", QString(), QStyle::SP_MediaSkipForward, 33, [this] { LastButtonClick(); });

    // The price list window enables these four by the table's state.
    for (QToolButton* b : {NewButton, DelButton, CancelButton, SaveButton})
        b->setEnabled(false);
}

void TPrisDataForm::buildRecordControls()
{
    DataSource* source = priceList_.MyDataSource;

    // Product text and the two flags
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Tekst:"), {40, 72}, true);
    DBEdit1 = bind(new DBEdit(this), source, QStringLiteral("DBEdit1"), productfield::producttext, {40, 88, 377, 21});
    DBEdit1->setFont(windowFont(11, true));
    DBCheckBox2 = bind(new DBCheckBox(QStringLiteral("På salg"), this), source, QStringLiteral("DBCheckBox2"),
                       productfield::sale, {248, 65, 61, 17});
    DBCheckBox1 = bind(new DBCheckBox(QStringLiteral("I nettbutikken"), this), source, QStringLiteral("DBCheckBox1"),
                       productfield::web, {320, 65, 97, 17});

    // Description, out-price and price
    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Utfyllende tekst:"), {40, 133});
    DBMemo1 = bind(new DBMemo(this), source, QStringLiteral("DBMemo1"), productfield::object_text, {40, 152, 270, 89});
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Utpris:"), {346, 133}, true);
    Edit1 = new OutPriceEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(346, 152, 71, 21);
    Edit1->installEventFilter(this);
    // Typing starts the edit whenever the box has the focus, also when the window was
    // only activated again with the focus in it (which is no entering of the box).
    Edit1->onInputComing = [this] { guarded([this] { Edit1Enter(); }); };
    // Only the user's own input sets the price, never the program's rewrite of the box.
    connect(Edit1, &QLineEdit::textEdited, this, [this] { guarded([this] { Edit1Change(); }); });
    Label2->setBuddy(Edit1);
    DBEdit4 = bind(new DBEdit(this), source, QStringLiteral("DBEdit4"), productfield::price, {346, 208, 71, 21});

    // The picture: its reference, the chooser, the box and the out-price drawn over it
    Label4 = makeLabel(this, QStringLiteral("Label4"), QStringLiteral("Bilde:"), {40, 261});
    SpeedButton3 = makeFlatButton(this, QStringLiteral("SpeedButton3"), QString(), QStyle::SP_DirOpenIcon,
                                  {384, 251, 33, 31}, [this] { SpeedButton3Click(); });
    BildeEdit = bind(new DBEdit(this), source, QStringLiteral("BildeEdit"), productfield::picture, {40, 280, 377, 21});
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(40, 315, 270, 270);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Image1 = new PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(40, 315, 270, 270);
    DBText1 = bind(new DBText(this), source, QStringLiteral("DBText1"), productfield::utpris, {120, 552, 105, 17});
    DBText1->setFont(windowFont(15, true));
    DBText1->setAlignment(Qt::AlignCenter);
    QPalette black = DBText1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    DBText1->setPalette(black);
    DBText1->raise();

    setTabOrder(DBEdit1, BildeEdit);
    setTabOrder(BildeEdit, DBMemo1);
    setTabOrder(DBMemo1, DBEdit4);
    setTabOrder(DBEdit4, DBCheckBox1);
    setTabOrder(DBCheckBox1, DBCheckBox2);
    setTabOrder(DBCheckBox2, Edit1);
}

void TPrisDataForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TPrisDataForm::closeEvent(QCloseEvent* event)
{
    guarded([this] { FormClose(); });
    QWidget::closeEvent(event);
}

bool TPrisDataForm::eventFilter(QObject* watched, QEvent* event)
{
    // Entering and leaving the box, not the window turning active or inactive around it.
    if (watched == Edit1 && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (event->type() == QEvent::FocusIn)
                guarded([this] { Edit1Enter(); });
            else
                guarded([this] { showOutPrice(); }); // what was typed, in its tidy form
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TPrisDataForm::showOutPrice(bool wholeRecord)
{
    if (keepOutPriceText_)
        return;
    // Rewriting an equal text would move the cursor.
    const QString outPrice = formatGeneral(table().MyTableutpris->asFloat());
    if (Edit1->text() == outPrice)
        return;
    Edit1->setText(outPrice);
    if (wholeRecord && focusWidget() == Edit1)
        Edit1->selectAll();
}

void TPrisDataForm::showActionButtons(bool editing)
{
    SaveButton->setEnabled(editing);
    CancelButton->setEnabled(SaveButton->isEnabled());
    NewButton->setEnabled(!SaveButton->isEnabled());
    DelButton->setEnabled(!SaveButton->isEnabled());
}

void TPrisDataForm::focusProductText()
{
    DBEdit1->setFocus();
}

void TPrisDataForm::clearPicture()
{
    Image1->hide();
    shownPicture_.clear();
}

void TPrisDataForm::FormShow()
{
    QString mode = QStringLiteral("OnlyPos");
    loadwindowpos(this, QStringLiteral("PrisDataForm"), mode);
    priceList_.MyDataSourceStateChange();
    showOutPrice();
    failedPicture_.clear();
    loadpicture();
}

void TPrisDataForm::FormClose()
{
    // A pending edit stays pending in the table.
    savewindowpos(this, QStringLiteral("PrisDataForm"), QString());
}

void TPrisDataForm::NewButtonClick()
{
    table().insert();
    focusProductText();
}

void TPrisDataForm::DelButtonClick()
{
    table().deleteRecord();
}

void TPrisDataForm::CancelButtonClick()
{
    table().cancel();
}

void TPrisDataForm::SaveButtonClick()
{
    table().post();
}

void TPrisDataForm::FirstButtonClick()
{
    table().first();
}

void TPrisDataForm::SpeedButton1Click()
{
    table().prior();
}

void TPrisDataForm::SpeedButton2Click()
{
    table().next();
}

void TPrisDataForm::LastButtonClick()
{
    table().last();
}

void TPrisDataForm::Edit1Enter()
{
    table().edit();
}

void TPrisDataForm::Edit1Change()
{
    ProductTable& t = table();
    const QString text = Edit1->text();
    // While the user types, the box shows what was typed ("12,50" stays, "12," is no 12);
    // a paste is put in its tidy form at once.
    const bool typing = Edit1->isTyping();
    const QScopedValueRollback keepText(keepOutPriceText_, typing);
    if (!t.isEditing()) {
        // Input that no key announced (a paste from the menu, a drop) starts the edit too.
        const QScopedValueRollback keepPasted(keepOutPriceText_, true);
        t.edit();
    }
    if (!t.isEditing() || text.isEmpty())
        return;
    double outPrice = 0;
    if (!parseRegionalFloat(text, outPrice)) {
        if (typing && isRegionalFloatStart(text))
            return; // not finished yet: "-", ",", "1e"
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text), QStringLiteral("EConvertError"));
    }
    t.MyTableprice->setAsFloat(productrules::priceFromOutPrice(outPrice));
}

void TPrisDataForm::SpeedButton3Click()
{
    OpenPictureDialog1.initialDir = readinistring(QStringLiteral("DOC_LOCAL")) + QStringLiteral("blomster");
    const std::optional<QString> chosen = OpenPictureDialog1.execute(this);
    if (!chosen)
        return;
    ProductTable& t = table();
    t.edit();
    QString reference = pictureFolderAddress() + QFileInfo(*chosen).fileName();
    if (const int size = t.MyTablepicture->size(); size > 0)
        reference.truncate(size);
    // Where the reference is looked up on every later visit; placed before the reference
    // is set, so that looking it up fetches nothing.
    placedocument(reference, *chosen);
    t.MyTablepicture->setAsString(reference);
    // From where the user chose it, whatever the web folder settings say. A name typed in
    // the dialog may be a FIFO or a device, whose reading could block for ever.
    clearPicture();
    if (!QFileInfo(*chosen).isFile())
        throw Error(QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(*chosen), QStringLiteral("EFOpenError"));
    Image1->loadFromFile(*chosen);
    Image1->show();
    shownPicture_ = t.MyTablepicture->asString();
}

void TPrisDataForm::loadpicture()
{
    if (!isVisible())
        return;
    if (!readinibool(QStringLiteral("DOC_URL_USEIMAGES")))
        return;
    // Whatever happens to this record's picture, the neighbours' are prepared meanwhile.
    const auto neighbours =
        qScopeGuard([this] { prefetchNeighbourPictures(table(), Image1->size(), prefetchedNeighbours_); });
    const QString reference = table().MyTablepicture->asString();
    // Until this product's own picture is in the box, it shows nothing.
    if (reference != shownPicture_)
        clearPicture();
    if (reference.isEmpty()) {
        failedPicture_.clear();
        return;
    }
    if (reference == failedPicture_)
        return;
    failedPicture_ = reference; // until it is shown
    const QString path = finddocument(reference, false);
    // Only a regular file: reading a FIFO or a device could block for ever.
    if (!QFileInfo(path).isFile()) {
        clearPicture();
        return;
    }
    try {
        Image1->loadFromFile(path);
    } catch (...) {
        clearPicture();
        throw;
    }
    Image1->show();
    shownPicture_ = reference;
    failedPicture_.clear();
}
