#include "common/quitsignal.h"

void closeOnQuitSignal(QWidget*)
{
}

bool quitRequested()
{
    return false;
}
