#pragma once
// A workstation with a chosen identity for tests; the environment stays the real one
// (the Sandbox sets APPDATA). Installed for the life of a ScopedPlatform.

#include "common/platform.h"

struct FakeIdentity {
    QString loginName = QStringLiteral("kari");
    QString computerName = QStringLiteral("KASSE1");
    QString domainName = QStringLiteral("brisvald.local");
    QStringList interfaceAddresses = {QStringLiteral("10.0.0.7")};
    QString spoolFolder;
};

class FakePlatform : public Platform {
public:
    explicit FakePlatform(FakeIdentity identity) : identity_(std::move(identity)) {}
    QString loginName() const override { return identity_.loginName; }
    QString computerName() const override { return identity_.computerName; }
    QString domainName() const override { return identity_.domainName; }
    QStringList interfaceAddresses() const override { return identity_.interfaceAddresses; }
    QString spoolFolder() const override { return identity_.spoolFolder; }

private:
    FakeIdentity identity_;
};

class ScopedPlatform {
public:
    explicit ScopedPlatform(FakeIdentity identity = {})
    {
        setPlatform(std::make_unique<FakePlatform>(std::move(identity)));
    }
    ~ScopedPlatform() { setPlatform(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};
