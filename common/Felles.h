#pragma once
// Small helpers shared by the windows: open with the default program, the last segment
// of a slash-separated text.

#include <QString>
#include <QUrl>
#include <functional>

// Opens file (a web address, a document or a program) with its default program, under
// the busy cursor. A relative file name is taken inside folder when folder is given.
// parameters are handed over only where the platform's shell takes them (Windows).
// A failure to open shows nothing.
void shellopen(const QString& file, const QString& parameters, const QString& folder);

// The text after the last "/"; empty when the text ends in "/", unchanged without "/".
QString stripslashes(const QString& text);

// What shellopen asks to open. Tests may replace the desktop's handler; an empty
// function restores it. The result says whether the open succeeded.
using UrlOpener = std::function<bool(const QUrl& url)>;
void setUrlOpener(UrlOpener opener);
