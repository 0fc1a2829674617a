#include "pricelist/pictures/openpicturedialog.h"

#include "pricelist/pictures/picturepreview.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QRegularExpression>

namespace {

PictureDialogRunner& installedRunner()
{
    static PictureDialogRunner runner;
    return runner;
}

} // namespace

void setPictureDialogRunner(PictureDialogRunner runner)
{
    installedRunner() = std::move(runner);
}

QStringList OpenPictureDialog::nameFilters() const
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
#ifndef Q_OS_WIN
        // "*.*" means every file on Windows; elsewhere it would skip names without a dot.
        patterns.replaceInStrings(QRegularExpression(QStringLiteral("^\\*\\.\\*$")), QStringLiteral("*"));
#endif
        result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

std::optional<QString> OpenPictureDialog::execute(QWidget* parent) const
{
    if (installedRunner())
        return installedRunner()(*this);

    QFileDialog dialog(parent, QStringLiteral("Åpne"), initialDir);
    // Qt's own dialog, so that the preview can stand beside the file list.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultExt);
    const QStringList filters = nameFilters();
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.constFirst());
    dialog.setSizeGripEnabled(true);
    dialog.resize(760, 460);

    auto* preview = new PicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showFile);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
