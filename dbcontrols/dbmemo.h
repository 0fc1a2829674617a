#pragma once
// Bound multi-line text: shows a memo or text field of the data source's current record
// and edits it like the bound text box (typing starts the table's edit; the input reaches
// the field when the control is left or the table is posted).

#include "dbcontrols/boundcontrol.h"

#include <QPlainTextEdit>

class DBMemo : public BoundControl<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();
    void updateReadOnly();
    void handleKey(QKeyEvent* event);

    bool showing_ = false;
};
