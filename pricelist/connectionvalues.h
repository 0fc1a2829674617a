#pragma once
// The connection values of the product database, fixed when the program is built
// (CMake cache entries PRISLISTE_DB_HOST, _PORT, _USER, _PASSWORD). The environment
// variables PRISLISTE_DB_HOST and PRISLISTE_DB_PORT, when set, override host and port;
// PRISLISTE_DB_TIMEOUT the statement time-out (seconds).

#include "db/connection.h"

ConnectionSettings productDatabaseSettings();
