#pragma once
// The folder chooser: the system's folder dialog, always giving back a usable folder path.

#include <QString>
#include <functional>
#include <optional>

// Lets the user pick a folder, starting at folder when it exists. Returns the chosen
// folder, or folder unchanged when the user cancels; a non-empty result ends in the
// folder separator (a root keeps its single separator).
QString choosefolder(const QString& folder);

// The dialog behind choosefolder: gets the title and the folder to start at (empty when
// the given folder does not exist) and returns the chosen folder's full path, or nothing
// when cancelled. Tests may replace it; an empty function restores the system dialog.
using FolderDialog = std::function<std::optional<QString>(const QString& title, const QString& start)>;
void setFolderDialog(FolderDialog dialog);
