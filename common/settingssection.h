#pragma once
// A section of the open settings document made current for the length of a scope. At the
// end of the scope (an exception included) the section that was current at construction
// is current again, or STANDARD where the caller asks for that.

#include <QString>

class SettingsSection {
public:
    enum class Afterwards { Previous, Standard };

    // Remembers the current section and changes nothing until enter().
    explicit SettingsSection(Afterwards afterwards = Afterwards::Previous);
    // Remembers the current section and makes name current.
    explicit SettingsSection(const QString& name, Afterwards afterwards = Afterwards::Previous);
    ~SettingsSection();
    SettingsSection(const SettingsSection&) = delete;
    SettingsSection& operator=(const SettingsSection&) = delete;

    // Makes name current; the remembered section stays the one from construction (a
    // document opened in between starts at STANDARD, and that is not what comes back).
    void enter(const QString& name);

private:
    QString previous_;
    Afterwards afterwards_;
};
