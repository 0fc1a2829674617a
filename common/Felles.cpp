#include "common/Felles.h"

QString stripslashes(const QString& text)
{
    return text.mid(text.lastIndexOf(u'/') + 1);
}
