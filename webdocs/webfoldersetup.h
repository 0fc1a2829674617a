#pragma once
// The web folder setup dialog: the local document folder, the document base URL and the
// two switches of the web folder. Created hidden at start-up and shown without being
// modal; it fills itself from the settings at each showing and writes them back, as
// typed, at each closing.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TWebfolderForm : public QDialog {
    Q_OBJECT

public:
    // parent: the main window, which the dialog is centred over at each showing. The
    // first dialog made becomes the process-wide one (webfolderForm()) until it is
    // destroyed. Closing the parent closes an open dialog first, so what was typed is kept.
    explicit TWebfolderForm(QWidget* parent = nullptr);
    ~TWebfolderForm() override;

    QCheckBox* UseURL;
    QCheckBox* URLImages;
    QLabel* Label1;
    QLineEdit* docfolder;
    QToolButton* FolderButton;
    QLineEdit* DocumentURL;
    QPushButton* AdvButton;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void UseURLClick();
    void FolderButtonClick();
    void AdvButtonClick();
};

// The process-wide setup dialog, or nullptr while there is none.
TWebfolderForm* webfolderForm();
