#include "dbcontrols/dbcheckbox.h"

#include "common/errorreport.h"
#include "dbcontrols/boundinput.h"
#include "db/field.h"

#include <QKeyEvent>

DBCheckBox::DBCheckBox(QWidget* parent) : DBCheckBox(QString(), parent)
{
}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent) : BoundControl(text, parent)
{
    setTristate(true);
    link_.show = [this] { showField(); };
    link_.write = [this] { writeField(); };
    showField();
}

void DBCheckBox::showField()
{
    const Field* f = link_.field();
    const QString text = f ? f->asString() : QString();
    Qt::CheckState state = Qt::PartiallyChecked;
    if (text.compare(QLatin1String("1"), Qt::CaseInsensitive) == 0)
        state = Qt::Checked;
    else if (text.compare(QLatin1String("0"), Qt::CaseInsensitive) == 0)
        state = Qt::Unchecked;
    // The same state again would still repaint the box.
    if (state != checkState())
        setCheckState(state);
}

void DBCheckBox::writeField()
{
    Field* f = link_.field();
    if (!f)
        return;
    switch (checkState()) {
    case Qt::Checked: f->setAsString(QStringLiteral("1")); break;
    case Qt::Unchecked: f->setAsString(QStringLiteral("0")); break;
    default: f->clear(); break;
    }
}

void DBCheckBox::nextCheckState()
{
    guarded([this] {
        if (!link_.edit())
            return;
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        link_.setModified();
    });
}

void DBCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        guarded([this] { link_.reset(); });
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        guarded([this] { link_.edit(); });
        event->accept();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void DBCheckBox::focusOutEvent(QFocusEvent* event)
{
    QCheckBox::focusOutEvent(event);
    if (!boundinput::leavesControl(event->reason()))
        return;
    guarded([this] {
        boundinput::writeBack(link_, [this] { setFocus(Qt::OtherFocusReason); });
    });
}
