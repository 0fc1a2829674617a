#include "tests/support/testcertificates.h"

#include <QFile>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace {

EVP_PKEY* newKey()
{
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    if (!key)
        throw std::runtime_error("EC key");
    return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        throw std::runtime_error("extension");
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

// issuer null: self-signed with key. Validity in seconds from now.
X509* newCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey, long from, long to,
                     const char* altNames, bool authority)
{
    static long serial = 1;
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert), from);
    X509_gmtime_adj(X509_getm_notAfter(cert), to);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : name);
    X509* signer = issuer ? issuer : cert;
    addExtension(cert, signer, NID_basic_constraints, authority ? "critical,CA:TRUE" : "critical,CA:FALSE");
    addExtension(cert, signer, NID_key_usage, authority ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
    addExtension(cert, signer, NID_subject_key_identifier, "hash");
    if (altNames)
        addExtension(cert, signer, NID_subject_alt_name, altNames);
    if (!X509_sign(cert, issuer ? issuerKey : key, EVP_sha256()))
        throw std::runtime_error("sign");
    return cert;
}

QByteArray pemOf(X509* cert)
{
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    QByteArray pem(data, qsizetype(size));
    BIO_free(bio);
    return pem;
}

constexpr long day = 24 * 3600;

} // namespace

TestCertificates::TestCertificates()
{
    authorityKey_ = newKey();
    authority_ = newCertificate(authorityKey_, "prisliste test authority", nullptr, nullptr, -day, 30 * day, nullptr, true);
    authorityPem_ = pemOf(authority_);
}

TestCertificates::~TestCertificates()
{
    for (auto& [server, context] : contexts_)
        SSL_CTX_free(context);
    X509_free(authority_);
    EVP_PKEY_free(authorityKey_);
}

bool TestCertificates::writeAuthority(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(authorityPem_) == authorityPem_.size();
}

SSL_CTX* TestCertificates::serverContext(Server server)
{
    if (auto known = contexts_.find(server); known != contexts_.end())
        return known->second;
    EVP_PKEY* key = newKey();
    const char* loopback = "IP:127.0.0.1,DNS:localhost";
    X509* cert = nullptr;
    switch (server) {
    case Server::Good:
        cert = newCertificate(key, "127.0.0.1", authority_, authorityKey_, -day, 30 * day, loopback, false);
        break;
    case Server::WrongHost:
        cert = newCertificate(key, "other.example", authority_, authorityKey_, -day, 30 * day, "DNS:other.example", false);
        break;
    case Server::Expired:
        cert = newCertificate(key, "127.0.0.1", authority_, authorityKey_, -30 * day, -day, loopback, false);
        break;
    case Server::SelfSigned:
        cert = newCertificate(key, "127.0.0.1", nullptr, nullptr, -day, 30 * day, loopback, false);
        break;
    }
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    const bool ok = SSL_CTX_use_certificate(context, cert) == 1 && SSL_CTX_use_PrivateKey(context, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    if (!ok) {
        SSL_CTX_free(context);
        throw std::runtime_error("server context");
    }
    contexts_[server] = context;
    return context;
}
