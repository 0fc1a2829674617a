#pragma once
// The maker's folder tree under APPDATA/Kvarnelo and its FOLDERS keys.

#include <QString>
#include <QStringList>

// The 24 folders in creation order (parents first), named as their keys name them.
const QStringList& treeFolderNames();

// Registers "bin" and "doc", then creates and registers every folder of the tree.
void installfolders();
// Creates one folder (its parent must exist) and logs the outcome with the system's
// error number; an existing folder is error 183.
void mkdirsafe(const QString& path);
// Makes sure the folder registered as "log" exists.
void checklogfolder();
