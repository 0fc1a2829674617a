#pragma once
// The connection values of the product database: the site's connection file
// (pricelist/connectionfile.h) over the values fixed when the program is built (CMake
// cache entries PRISLISTE_DB_HOST, _PORT, _USER, _PASSWORD). The environment variables
// PRISLISTE_DB_HOST and PRISLISTE_DB_PORT, when set, override host and port.
// PRISLISTE_DB_TIMEOUT sets the statement time-out (seconds).

#include "db/connection.h"

// Throws ConnectionFileError when the file is faulty, or missing in a build that holds
// no password of its own.
ConnectionSettings productDatabaseSettings();
// The same, with a "FEIL:" line in the log when the connection file is faulty.
ConnectionSettings loggedDatabaseSettings();
// Logs where the open connection goes and whether it is encrypted (never the password).
void logConnection(const DbConnection& connection);
