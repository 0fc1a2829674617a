#pragma once
// Bound check box: checked when the field's text is "1", unchecked when it is "0"
// (letter case ignored), greyed otherwise (null included). A click or Space starts the
// table's edit and then toggles (greyed becomes checked); the box writes "1", "0" or,
// greyed, null when it is left or the table is posted.

#include "dbcontrols/boundcontrol.h"

#include <QCheckBox>

class DBCheckBox : public BoundControl<QCheckBox> {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    DBCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void writeField();
};
