#pragma once
// Bound text box: shows one field of the data source's current record and edits it.
// It shows the edit text while it has the focus and the field can be changed, else the
// display text; typing starts the table's edit; the input reaches the field when the box
// is left or the table is posted.

#include "dbcontrols/boundcontrol.h"

#include <QLineEdit>

class DBEdit : public BoundControl<QLineEdit> {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();
    void updateReadOnly();
    void handleKey(QKeyEvent* event);
};
