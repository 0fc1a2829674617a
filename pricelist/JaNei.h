#pragma once
// The yes/no question: one modal dialog per question, released after it.

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

class TJaNeiForm : public QDialog {
    Q_OBJECT
public:
    explicit TJaNeiForm(QWidget* parent = nullptr);

    // The answer: the default while the dialog is shown, the final answer once closed.
    bool InnBo = false;

    QFrame* Panel1;
    QLabel* Label1;
    QPushButton* JaKnapp;
    QPushButton* NeiKnapp;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormShow();
    void JaKnappClick();
    void NeiKnappClick();
};

// Returns true for "Ja", false for "Nei"; a dialog closed without a button press
// returns the default answer. Centred on the window placed last, and always wholly on
// that window's screen: a question wider than the screen is wrapped. The question is
// shown as plain text.
bool askyesno(const QString& question, bool defaultAnswer);
