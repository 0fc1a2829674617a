#include "dbcontrols/dbtext.h"

#include "db/field.h"

DBText::DBText(QWidget* parent) : BoundControl(parent)
{
    setTextFormat(Qt::PlainText);
    link_.show = [this] {
        const Field* f = link_.field();
        setText(f ? f->displayText() : QString());
    };
}
