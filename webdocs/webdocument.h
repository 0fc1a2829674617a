#pragma once
// Where a product's document is found on the local disk, and its fetch from the web
// folder when the local file is missing. The settings are read from the settings store's
// current section at every call.

#include "webdocs/downloadresult.h"

#include <QString>

// The local path for a document reference (a full web address, or a name relative to
// DOC_LOCAL and DOC_URL). Unless localonly, a missing file may first be fetched. The path
// is returned whether or not the file exists afterwards. A reference whose name would
// climb out of its folder ("..") or names an absolute local path is never fetched. The
// local name of a full address leaves out its query ("?...").
QString finddocument(const QString& reference, bool localonly);

// Creates the folder of localPath when it is missing, then downloads url into localPath
// with downloadtofile, and returns how that went: a failure has been shown to the user
// already. Only the web folders' hosts (DOC_URL and the translation pairs) and public
// addresses on the default port are fetched from; anything else gets a warning in the
// log instead (a refusal).
DownloadResult downloaddocument(const QString& url, const QString& localPath);

// Puts a copy of the plain file at sourcePath where finddocument(reference, true) looks,
// so the document is found there later with or without a web folder. A file already
// there is never replaced; nothing is copied to a relative path, out of its folder, or
// from a file larger than 256 MB. A copy that fails is logged.
void placedocument(const QString& reference, const QString& sourcePath);
