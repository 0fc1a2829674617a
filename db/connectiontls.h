#pragma once
// The connection's TLS, through the client library's own options.

#include "db/connection.h"

// Sets the options of `settings.tls` on a handle before it connects.
void setTlsOptions(MYSQL* mysql, const ConnectionSettings& settings);
// The host to hand the library: a verified certificate is checked against the name the
// settings give, not the address it was looked up to.
QByteArray connectHost(const ConnectionSettings& settings, const QByteArray& address);
