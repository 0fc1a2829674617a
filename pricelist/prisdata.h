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
    // Binds to the price list window's table and data source, which must outlive it, and
    // becomes the dialog that window keeps in step until it is destroyed.
    explicit TPrisDataForm(TPrislisteForm& priceList);
    ~TPrisDataForm() override;

    // What the price list window tells the dialog to show. The controls themselves are the
    // dialog's own; tests reach them by their object names.

    // "Lagre" and "Avbryt" enabled exactly while the table is editing, "Ny" and "Slett"
    // exactly while it is not.
    void showActionButtons(bool editing);
    // Puts the current record's out-price, as plain number text, into the out-price box;
    // never sets the price. The box is left alone when it holds that text already and
    // while the user's typing in it is being handled. After a change of the whole record
    // (another record, Post, Cancel) a box with the focus gets the text selected, so what
    // the user types next replaces it.
    void showOutPrice(bool wholeRecord = false);
    // Shows the current record's picture: nothing happens while the dialog is hidden or
    // DOC_URL_USEIMAGES is off; a file missing on disk may be fetched first
    // (finddocument). The box is hidden whenever the record's own picture cannot be shown
    // (an empty reference, a file still missing, a file that is no picture), so it never
    // shows another product's picture. A picture that cannot be read throws. A reference
    // that failed on the call before is not tried again (see failedPicture_).
    void loadpicture();
    // The product text's box takes the focus: a new product starts with its text.
    void focusProductText();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProductTable& table() const;
    void buildButtonBand();
    void buildRecordControls();
    // Empties the picture box: hidden, it shows no product's picture.
    void clearPicture();

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
    QString failedPicture_;
    // The reference whose picture the box shows (empty while it shows none).
    QString shownPicture_;
    // The row, box and neighbours' references last handed to the prefetch: a keystroke or a
    // post on the same record asks for nothing new.
    QString prefetchedNeighbours_;

    TPrislisteForm& priceList_;
    bool keepOutPriceText_ = false; // while typing in the out-price box is handled
};
