#include "common/settingssection.h"

#include "common/hs_reg.h"

SettingsSection::SettingsSection(Afterwards afterwards)
    : previous_(SettingsStore::instance().currentSection), afterwards_(afterwards)
{
}

SettingsSection::SettingsSection(const QString& name, Afterwards afterwards) : SettingsSection(afterwards)
{
    enter(name);
}

SettingsSection::~SettingsSection()
{
    if (afterwards_ == Afterwards::Standard)
        resetsection();
    else
        setsection(previous_);
}

void SettingsSection::enter(const QString& name)
{
    setsection(name);
}
