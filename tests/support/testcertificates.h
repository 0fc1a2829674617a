#pragma once
// A certificate authority made at run time and the server certificates the TLS tests
// need: one for 127.0.0.1 signed by it, one for another host name, one expired, and one
// signed by nobody the client knows.

#include <QByteArray>
#include <QString>

#include <openssl/ssl.h>

#include <map>

class TestCertificates {
public:
    enum class Server { Good, WrongHost, Expired, SelfSigned };

    TestCertificates();
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // The authority's certificate, PEM.
    QByteArray authorityPem() const { return authorityPem_; }
    // Writes it to path; false when that fails.
    bool writeAuthority(const QString& path) const;

    // A server context (owned here) presenting the given certificate.
    SSL_CTX* serverContext(Server server);

private:
    EVP_PKEY* authorityKey_ = nullptr;
    X509* authority_ = nullptr;
    QByteArray authorityPem_;
    std::map<Server, SSL_CTX*> contexts_;
};
