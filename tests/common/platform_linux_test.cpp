#include "common/platform.h"
#include "tests/support/qstringprint.h"

#include <gtest/gtest.h>
#include <map>
#include <pwd.h>
#include <unistd.h>

namespace {
// Sets (or, for null, unsets) environment variables and restores them afterwards.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<const char*, const char*>& values)
    {
        for (const auto& [name, value] : values) {
            saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

private:
    std::map<const char*, std::optional<QByteArray>> saved_;
};
}

TEST(LinuxPlatform, ApplicationDataComesFromAppDataThenXdgThenHome)
{
    struct Case { const char* appData; const char* xdg; const char* home; const char* expected; };
    const Case cases[] = {
        {"/srv/appdata", "/srv/xdg", "/home/kari", "/srv/appdata"},
        {"/srv/appdata/", nullptr, "/home/kari", "/srv/appdata"},
        {nullptr, "/srv/xdg", "/home/kari", "/srv/xdg"},
        {"", "", "/home/kari", "/home/kari/.local/share"},
        {nullptr, nullptr, "/home/kari", "/home/kari/.local/share"},
    };
    setPlatform(nullptr);
    for (const Case& c : cases) {
        ScopedEnvironment env({{"APPDATA", c.appData}, {"XDG_DATA_HOME", c.xdg}, {"HOME", c.home}});
        EXPECT_EQ(platform().appData(), QString::fromUtf8(c.expected)) << (c.appData ? c.appData : "(unset)");
    }
}

TEST(LinuxPlatform, LoginNameComesFromUsernameThenUserThenThePasswordDatabase)
{
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    struct Case { const char* username; const char* user; QString expected; };
    const Case cases[] = {
        {"kari", "ola", "kari"},
        {nullptr, "ola", "ola"},
        {"", "", QString::fromLocal8Bit(entry->pw_name)},
        {nullptr, nullptr, QString::fromLocal8Bit(entry->pw_name)},
    };
    setPlatform(nullptr);
    for (const Case& c : cases) {
        ScopedEnvironment env({{"USERNAME", c.username}, {"USER", c.user}});
        EXPECT_EQ(platform().loginName(), c.expected);
    }
}

TEST(LinuxPlatform, HasNoSpoolFolderAndListsRealAddresses)
{
    setPlatform(nullptr);
    EXPECT_EQ(platform().spoolFolder(), QString());
    EXPECT_FALSE(platform().computerName().isEmpty());
    for (const QString& address : platform().interfaceAddresses())
        EXPECT_FALSE(address.startsWith(QStringLiteral("127."))) << address.toStdString();
}
