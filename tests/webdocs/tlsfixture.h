#pragma once
// The download fixture with HTTPS beside it: an authority made once per test program, its
// certificate in a file that PRISLISTE_CA_FILE names, and TLS servers on loopback.

#include "common/textfil.h"
#include "tests/support/testcertificates.h"
#include "tests/webdocs/downloadfixture.h"

#include <memory>

class TlsFixture : public DownloadFixture {
protected:
    static void SetUpTestSuite() { certificates = std::make_unique<TestCertificates>(); }
    static void TearDownTestSuite() { certificates.reset(); }

    TlsFixture()
    {
        const QString file = sandbox.root() + QStringLiteral("/authority.pem");
        EXPECT_TRUE(certificates->writeAuthority(file));
        qputenv("PRISLISTE_CA_FILE", QFile::encodeName(file));
        Log& log = Log::instance();
        savedLogging_ = log.logging;
        log.logging = true;
        logLinesBefore_ = log.lines().size();
    }
    ~TlsFixture() override
    {
        qunsetenv("PRISLISTE_CA_FILE");
        Log::instance().logging = savedLogging_;
    }

    // The log lines this test wrote.
    QStringList newLogLines() const { return Log::instance().lines().mid(logLinesBefore_); }

    static SSL_CTX* identity(TestCertificates::Server server) { return certificates->serverContext(server); }

    static inline std::unique_ptr<TestCertificates> certificates;
    HttpTestServer secure{identity(TestCertificates::Server::Good)};

private:
    bool savedLogging_ = false;
    qsizetype logLinesBefore_ = 0;
};
