#include "webdocs/systemcertificates.h"

std::vector<std::string> systemRootCertificates()
{
    return {};
}
