#pragma once
// The find box: a small window of its own beside the price list, not modal, that finds
// products by words in their text or description (ProductFinder). Enter or F3 goes to
// the next match, Shift+F3 to the previous; the label says "3 av 17" or "Ingen treff".

#include "find/productfinder.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TFinnForm : public QDialog {
    Q_OBJECT
public:
    TFinnForm(DataSource& source, std::vector<const Field*> fields, QWidget* parent);

    // Shows the box in front with the search text selected.
    void showFind();

    QLineEdit* FinnEdit;
    QPushButton* NesteButton;
    QPushButton* ForrigeButton;
    QLabel* TreffLabel;

private:
    void FinnEditChange();
    void step(bool forward);

    ProductFinder finder_;
};
