#include "qt_dialogs.h"

#include "platform/dialog_filter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// The last name with another extension: a mesh export never proposes to
// overwrite the file of another format.
QString withExtension(const QString& path, const QString& extension)
{
    if (path.isEmpty())
        return path;
    const QFileInfo file(path);
    return file.dir().filePath(file.completeBaseName() + QLatin1Char('.') + extension);
}

}  // namespace

std::optional<std::string> QtSaveDialog::askSavePath(const std::string& filter, const std::string& extension)
{
    const QString title = QStringLiteral("Export du maillage");
    const QString qtFilter = QString::fromStdString(toDialogFilter(filter));
    QString chosen;
    if (extension.empty()) {
        chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), title, fileName_, qtFilter);
    } else {
        QFileDialog dialog(QApplication::activeWindow(), title, QString(), qtFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QString::fromStdString(extension));
        const QString proposed = withExtension(fileName_, QString::fromStdString(extension));
        if (!proposed.isEmpty())
            dialog.selectFile(proposed);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (chosen.isEmpty())
        return std::nullopt;
    fileName_ = chosen;
    return chosen.toStdString();
}

std::optional<std::string> QtOpenDialog::askOpenPath()
{
    const QString chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), QStringLiteral("Ouvrir une image"), fileName_);
    if (chosen.isEmpty())
        return std::nullopt;
    fileName_ = chosen;
    return chosen.toStdString();
}
