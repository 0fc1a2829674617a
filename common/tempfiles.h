#pragma once
// Clean-up of temporary folders at start-up. Every guard is there so that a drive root,
// an unset variable or a link out of the folder is never emptied.

#include <QString>

// Empties the maker's "tmp" folder; with system also the system's temporary folders
// and the printer spool folder.
void deletetempfiles(bool system);
// Empties one folder tree when its path (with the separator) is at least 7 characters
// long and it exists; the folder itself stays.
void cleanfolder(const QString& folder);
// Deletes the entries of folder recursively and removes folder unless it is start.
// A symbolic link (or junction) is removed itself; nothing behind it is touched; a folder
// that is itself a link is left alone.
void deletetree(const QString& folder, const QString& start);
// The printer spool folder; empty where there is none.
QString spoolfolder();
