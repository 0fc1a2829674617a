#include "dbcontrols/dbmemo.h"

#include "common/errorreport.h"
#include "dbcontrols/boundinput.h"
#include "db/field.h"

#include <QKeyEvent>

DBMemo::DBMemo(QWidget* parent) : BoundControl(parent)
{
    setTabChangesFocus(true);
    link_.show = [this] { showField(); };
    link_.write = [this] { writeField(); };
    link_.editingChanged = [this] { updateReadOnly(); };
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_)
            link_.setModified();
    });
    updateReadOnly();
}

void DBMemo::showField()
{
    const Field* f = link_.field();
    const QString text = f ? f->asString() : QString();
    if (text != toPlainText()) {
        showing_ = true;
        setPlainText(text);
        showing_ = false;
    }
    updateReadOnly();
}

void DBMemo::writeField()
{
    if (Field* f = link_.field())
        f->setAsString(toPlainText());
}

void DBMemo::updateReadOnly()
{
    // Setting the same mode again still goes through the text control and the style.
    if (const bool readOnly = !link_.editing(); readOnly != isReadOnly())
        setReadOnly(readOnly);
}

void DBMemo::keyPressEvent(QKeyEvent* event)
{
    guarded([&] { handleKey(event); });
}

void DBMemo::handleKey(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        link_.reset();
        event->accept();
        return;
    }
    if (!boundinput::startsEdit(*event, true)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QChar ch = boundinput::typedCharacter(*event);
    const Field* f = link_.field();
    if (!ch.isNull() && f && !boundinput::acceptsCharacter(*f, ch)) {
        boundinput::beep();
        return;
    }
    if (!link_.edit())
        return;
    updateReadOnly();
    QPlainTextEdit::keyPressEvent(event);
    link_.setModified();
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (!boundinput::leavesControl(event->reason()))
        return;
    guarded([this] {
        boundinput::writeBack(link_, [this] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
    });
}
