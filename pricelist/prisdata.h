#pragma once
// The product detail dialog: shows and edits the price list's current record (its bound
// controls share the price list window's data source), moves between records, takes the
// out-price in place of the price, and shows the product's picture, fetched from the
// shop's web folder when it is missing on disk. Not modal; created hidden at start-up.

#include "pricelist/pictures/openpicturedialog.h"
#include "pricelist/outpriceedit.h"

#include <QWidget>

class DBCheckBox;
class DBEdit;
class DBMemo;
class DBText;
class PictureBox;
class ProductTable;
class QFrame;
class QLabel;
class QToolButton;
class TPrislisteForm;

class TPrisDataForm : public QWidget {
    Q_OBJECT
public:
    // Binds to the price list window's table and data source, which must outlive it. The
    // dialog is the program's one detail dialog (instance()) until it is destroyed.
    explicit TPrisDataForm(TPrislisteForm& priceList);
    ~TPrisDataForm() override;

    // The dialog the price list window keeps in step; nullptr while none exists.
    static TPrisDataForm* instance();

    ProductTable& table() const;

    // Button band
    QFrame* MenuPanel;
    QFrame* Bevel2;
    QToolButton* NewButton;
    QToolButton* DelButton;
    QToolButton* CancelButton;
    QToolButton* SaveButton;
    QFrame* Bevel3;
    QToolButton* FirstButton;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* LastButton;

    // The record
    QLabel* Label1;
    DBEdit* DBEdit1;
    DBCheckBox* DBCheckBox2;
    DBCheckBox* DBCheckBox1;
    QLabel* Label3;
    DBMemo* DBMemo1;
    QLabel* Label2;
    OutPriceEdit* Edit1;
    DBEdit* DBEdit4;
    QLabel* Label4;
    QToolButton* SpeedButton3;
    DBEdit* BildeEdit;
    QFrame* Bevel1;
    PictureBox* Image1;
    DBText* DBText1;

    OpenPictureDialog OpenPictureDialog1;

    // The picture reference whose fetch or load failed last time; loadpicture does not
    // try it again until the reference changes or the dialog is shown anew, so typing in
    // the out-price box of such a product neither refetches nor repeats the error box.
    QString failedPicture;
    // The reference whose picture the box shows (empty while it shows none).
    QString shownPicture;
    // The row, box and neighbours' references last handed to the prefetch: a keystroke or a
    // post on the same record asks for nothing new.
    QString prefetchedNeighbours;
    // Empties the picture box: hidden, it shows no product's picture.
    void clearPicture();

    // Puts the current record's out-price, as plain number text, into the out-price box;
    // never sets the price. The box is left alone when it holds that text already and
    // while the user's typing in it is being handled. After a change of the whole record
    // (another record, Post, Cancel) a box with the focus gets the text selected, so what
    // the user types next replaces it.
    void showOutPrice(bool wholeRecord = false);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildButtonBand();
    void buildRecordControls();

    void FormShow();
    void FormClose();
    void NewButtonClick();
    void DelButtonClick();
    void CancelButtonClick();
    void SaveButtonClick();
    void FirstButtonClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void LastButtonClick();
    void Edit1Enter();
    void Edit1Change();
    void SpeedButton3Click();

    TPrislisteForm& priceList_;
    bool keepOutPriceText_ = false; // while typing in the out-price box is handled
};

// Shows the current record's picture in the detail dialog: nothing happens while the
// dialog is missing or hidden or DOC_URL_USEIMAGES is off; a file missing on disk may be
// fetched first (finddocument). The box is hidden whenever the record's own picture cannot
// be shown (an empty reference, a file still missing, a file that is no picture), so it
// never shows another product's picture. A picture that cannot be read throws. A
// reference that failed on the call before is not tried again (see failedPicture).
void loadpicture();
