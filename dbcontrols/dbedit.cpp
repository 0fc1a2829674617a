#include "dbcontrols/dbedit.h"

#include "common/errorreport.h"
#include "dbcontrols/boundinput.h"
#include "db/field.h"

#include <QKeyEvent>

DBEdit::DBEdit(QWidget* parent) : BoundControl(parent)
{
    link_.show = [this] { showField(); };
    link_.write = [this] { writeField(); };
    link_.editingChanged = [this] { updateReadOnly(); };
    connect(this, &QLineEdit::textEdited, this, [this] { link_.setModified(); });
    updateReadOnly();
}

void DBEdit::showField()
{
    const Field* f = link_.field();
    const int size = f && f->kind() == FieldKind::String ? f->size() : 0;
    // Setting the same limit again would drop the selection.
    if (const int limit = size > 0 ? size : 32767; limit != maxLength())
        setMaxLength(limit);
    QString text;
    if (f)
        text = hasFocus() && f->canModify() ? f->editText() : f->displayText();
    if (text != this->text())
        setText(text);
    updateReadOnly();
}

void DBEdit::writeField()
{
    if (Field* f = link_.field())
        f->setAsString(text());
}

void DBEdit::updateReadOnly()
{
    setReadOnly(!link_.editing());
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    guarded([&] { handleKey(event); });
}

void DBEdit::handleKey(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        link_.reset();
        selectAll();
        event->accept();
        return;
    }
    if (!boundinput::startsEdit(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QChar ch = boundinput::typedCharacter(*event);
    if (!ch.isNull()) {
        const Field* f = link_.field();
        const bool full = text().size() >= maxLength() && !hasSelectedText();
        if ((f && !boundinput::acceptsCharacter(*f, ch)) || full) {
            boundinput::beep();
            return;
        }
    }
    if (!link_.edit())
        return;
    updateReadOnly();
    QLineEdit::keyPressEvent(event);
    link_.setModified();
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    // The edit text replaces the display text before the base class selects it.
    guarded([this] {
        if (!link_.modified())
            showField();
    });
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!boundinput::leavesControl(event->reason()))
        return;
    guarded([this] {
        boundinput::writeBack(link_, [this] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
        if (!link_.modified())
            showField();
    });
}
