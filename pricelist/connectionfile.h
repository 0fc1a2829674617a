#pragma once
// The site's own connection values: section [MYSQL] of tilkobling.ini (keys HOST, PORT,
// USER, PASSWORD, TLS = krev | foretrekk | av, CA), kept apart from the settings file.
// Every error names the file and the line, never a value: the file holds the password.

#include "common/errors.h"
#include "db/connection.h"

#include <QByteArray>

class ConnectionFileError : public Error {
public:
    explicit ConnectionFileError(QString message) : Error(std::move(message), QStringLiteral("EConnectionFileError")) {}
};

// /etc/prisliste/tilkobling.ini (%PROGRAMDATA%\Kvarnelo\tilkobling.ini on Windows), or
// the file PRISLISTE_CONNECTION_FILE names.
QString connectionFilePath();

// Reads the file over `settings`. False when there is no such file. Throws
// ConnectionFileError when it is a link, not a plain file, unreadable, too large,
// readable or writable by everyone while it gives the password, or malformed.
bool readConnectionFile(const QString& path, ConnectionSettings& settings);

// The text of such a file over `settings`; `path` only names it in errors. Returns
// whether the text gives a password.
bool applyConnectionText(const QByteArray& text, const QString& path, ConnectionSettings& settings);
