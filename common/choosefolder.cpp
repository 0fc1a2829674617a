#include "common/choosefolder.h"

#include "common/platform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<QString> systemFolderDialog(const QString& title, const QString& start)
{
    QFileDialog dialog(nullptr, title, start);
    dialog.setFileMode(QFileDialog::Directory);
    // Read-only takes away the button for making a new folder.
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

FolderDialog& folderDialog()
{
    static FolderDialog dialog;
    return dialog;
}

} // namespace

void setFolderDialog(FolderDialog dialog)
{
    folderDialog() = std::move(dialog);
}

QString choosefolder(const QString& folder)
{
    const QString start = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
    const QString title = QStringLiteral("Valg mappe");
    const std::optional<QString> chosen =
        folderDialog() ? folderDialog()(title, start) : systemFolderDialog(title, start);

    QString result = chosen ? *chosen : folder;
    if (!result.isEmpty() && !result.endsWith(Platform::separator()))
        result += Platform::separator();
    return result;
}
