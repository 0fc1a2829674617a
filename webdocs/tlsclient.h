#pragma once
// TLS for the HTTP client: TLS 1.2 or newer, the server's certificate verified against
// the system's store and its host name checked. Nothing turns verification off.

#include "webdocs/httpurl.h"

#include <boost/asio/ssl/context.hpp>

#include <memory>

// A client context: the system's store (SSL_CERT_FILE and SSL_CERT_DIR as for every
// OpenSSL program; the system store on Windows), plus the authorities in the file that
// PRISLISTE_CA_FILE names, if any.
std::unique_ptr<boost::asio::ssl::context> makeTlsContext();

// Before the handshake: the name sent (SNI) and the name or address the certificate must carry.
void prepareTlsSession(SSL* ssl, const HttpTarget& target);

// After a failed handshake: HttpCertificateError with the reason when the certificate did
// not verify, else HttpFetchError.
[[noreturn]] void failHandshake(SSL* ssl, const HttpTarget& target, const boost::system::error_code& ec);

// Whether received bytes wait inside the TLS session, not on the socket.
bool tlsHasBuffered(SSL* ssl);
