#include "webdocs/systemcertificates.h"

#include <windows.h>
#include <wincrypt.h>

std::vector<std::string> systemRootCertificates()
{
    std::vector<std::string> certificates;
    HCERTSTORE system = CertOpenSystemStoreW(0, L"ROOT");
    if (!system)
        return certificates;
    for (PCCERT_CONTEXT cert = nullptr; (cert = CertEnumCertificatesInStore(system, cert)) != nullptr;)
        certificates.emplace_back(reinterpret_cast<const char*>(cert->pbCertEncoded), cert->cbCertEncoded);
    CertCloseStore(system, 0);
    return certificates;
}
