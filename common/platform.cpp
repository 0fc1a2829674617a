#include "common/platform.h"

#include <QDir>

std::unique_ptr<Platform> makeSystemPlatform(); // platform_linux.cpp / platform_win.cpp

namespace {
std::unique_ptr<Platform>& instance()
{
    static std::unique_ptr<Platform> p = makeSystemPlatform();
    return p;
}
}

QString Platform::environment(const QString& name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString Platform::appData() const
{
    return environment(QStringLiteral("APPDATA"));
}

QChar Platform::separator()
{
    return QDir::separator();
}

Platform& platform()
{
    return *instance();
}

void setPlatform(std::unique_ptr<Platform> replacement)
{
    instance() = replacement ? std::move(replacement) : makeSystemPlatform();
}
