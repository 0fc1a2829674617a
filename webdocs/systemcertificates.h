#pragma once
// The root certificates the operating system itself trusts, each as its DER bytes. Free
// of Qt and OpenSSL, so that the Windows source can be compiled alone. None on Linux,
// where OpenSSL's default paths are the system's store.

#include <string>
#include <vector>

std::vector<std::string> systemRootCertificates();
