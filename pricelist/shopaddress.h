#pragma once
// The shop's name and its fixed web addresses: the root of its web site (the home page),
// fixed when the program is built (CMake cache entry PRISLISTE_HOME_PAGE) and overridden
// at run time by the environment variable of the same name, and the folder of its
// product pictures.

#include <QString>

// "Brisvald Blomster Søm & Shop": the main window's title and the heading of the printout
// and the export.
QString shopName();

// The web site root, always ending in "/".
QString homePageAddress();

// The web site root + "blomster/".
QString pictureFolderAddress();
