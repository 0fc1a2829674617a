#include "pricelist/shopaddress.h"

QString shopName()
{
    return QStringLiteral("Brisvald Blomster Søm & Shop");
}

QString homePageAddress()
{
    QString address = qEnvironmentVariable("PRISLISTE_HOME_PAGE");
    if (address.isEmpty())
        address = QStringLiteral(PRISLISTE_HOME_PAGE);
    // Addresses are joined without separators, so the root carries its own.
    if (!address.endsWith(QLatin1Char('/')))
        address += QLatin1Char('/');
    return address;
}

QString pictureFolderAddress()
{
    return homePageAddress() + QStringLiteral("blomster/");
}
