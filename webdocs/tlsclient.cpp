#include "webdocs/tlsclient.h"

#include "common/fileops.h"
#include "common/textfil.h"
#include "webdocs/systemcertificates.h"

#include <QtGlobal>

#include <boost/asio/ip/address.hpp>

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace ssl = boost::asio::ssl;

namespace {

constexpr qint64 maxCaFile = qint64(4) << 20; // a bundle of every public authority is 0.2 MiB

void addSystemStore(X509_STORE* store)
{
    for (const std::string& certificate : systemRootCertificates()) {
        const auto* der = reinterpret_cast<const unsigned char*>(certificate.data());
        if (X509* x = d2i_X509(nullptr, &der, long(certificate.size()))) {
            X509_STORE_add_cert(store, x);
            X509_free(x);
        }
    }
}

// A pipe or device named there must not hold the download, nor a huge file its memory.
QByteArray readCaFile(const QString& path)
{
    QByteArray bytes;
    readWholeFile(path, bytes, maxCaFile);
    return bytes;
}

// Every certificate in the PEM text; what is not one is skipped.
int addAuthorities(X509_STORE* store, const QByteArray& pem)
{
    BIO* bio = BIO_new_mem_buf(pem.constData(), int(pem.size()));
    if (!bio)
        return 0;
    int added = 0;
    while (X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
        added += X509_STORE_add_cert(store, cert) == 1;
        X509_free(cert);
    }
    BIO_free(bio);
    ERR_clear_error(); // the end of the text reads as an error
    return added;
}

} // namespace

std::unique_ptr<ssl::context> makeTlsContext()
{
    auto context = std::make_unique<ssl::context>(ssl::context::tls_client);
    SSL_CTX* native = context->native_handle();
    SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION);
    SSL_CTX_set_mode(native, SSL_MODE_AUTO_RETRY);
    boost::system::error_code ignored;
    context->set_default_verify_paths(ignored);
    addSystemStore(SSL_CTX_get_cert_store(native));
    const QString extra = qEnvironmentVariable("PRISLISTE_CA_FILE");
    if (!extra.isEmpty() && addAuthorities(SSL_CTX_get_cert_store(native), readCaFile(extra)) == 0)
        WriteLog(QStringLiteral("ADVARSEL: Ingen sertifikater i PRISLISTE_CA_FILE (") + extra + QStringLiteral(")"));
    context->set_verify_mode(ssl::verify_peer);
    return context;
}

void prepareTlsSession(SSL* ssl, const HttpTarget& target)
{
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
    boost::system::error_code notAnAddress;
    boost::asio::ip::make_address(target.host, notAnAddress);
    if (notAnAddress) {
        SSL_set_tlsext_host_name(ssl, target.host.c_str()); // never for an address (RFC 6066)
        X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        X509_VERIFY_PARAM_set1_host(param, target.host.c_str(), target.host.size());
    } else {
        X509_VERIFY_PARAM_set1_ip_asc(param, target.host.c_str());
    }
}

void failHandshake(SSL* ssl, const HttpTarget& target, const boost::system::error_code& ec)
{
    const long verdict = SSL_get_verify_result(ssl);
    const QString host = QString::fromStdString(target.host);
    if (verdict != X509_V_OK)
        throw HttpCertificateError(QStringLiteral("Sertifikatet til ") + host + QStringLiteral(" godtas ikke: ")
                                   + QString::fromLatin1(X509_verify_cert_error_string(verdict)));
    throw HttpFetchError(QStringLiteral("TLS handshake with ") + host + QStringLiteral(" failed: ")
                         + QString::fromStdString(ec.message()));
}

bool tlsHasBuffered(SSL* ssl)
{
    return SSL_pending(ssl) > 0 || BIO_ctrl_pending(SSL_get_rbio(ssl)) > 0;
}
