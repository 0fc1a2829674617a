#pragma once
// The advanced web folder dialog: the nine pairs of web folder and local folder that
// translate a document's web address to a local path, the translation switch and the
// address of the document pull script. Created for one use and shown modally.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

class TWebfolderAdvForm : public QDialog {
    Q_OBJECT

public:
    // parent: the main window, which the dialog is centred over.
    explicit TWebfolderAdvForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* PullCombo;
    QCheckBox* Transelate;
    QTableWidget* Grid;

    // The grid's cells counted as the settings count them: row 0 is the heading row,
    // rows 1 to 9 the pairs; column 0 the web folder, column 1 the local folder.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void GridDblClick();
};

// Creates an advanced dialog over the main window, shows it modally and destroys it when
// it has been closed; its settings are written by then.
void showwebfolderadv();

// The drop-down item of PullCombo: the pull script on the shop's own web server.
extern const char* const webfolderPullScript;
