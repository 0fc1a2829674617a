#include "find/typeahead.h"

#include <QDeadlineTimer>

TypeAhead::TypeAhead() : clock([] { return QDeadlineTimer::current().deadline(); })
{
}

void TypeAhead::forgetAfterPause()
{
    const qint64 now = clock();
    if (now - lastKey_ >= pauseMs)
        text_.clear();
    lastKey_ = now;
}

const QString& TypeAhead::type(const QString& characters)
{
    forgetAfterPause();
    text_ += characters;
    return text_;
}

bool TypeAhead::backspace()
{
    forgetAfterPause();
    if (text_.isEmpty())
        return false;
    text_.chop(1);
    return true;
}
