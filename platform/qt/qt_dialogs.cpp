#include "qt_dialogs.h"

#include "platform/dialog_filter.h"

#include <QApplication>
#include <QFileDialog>

std::optional<std::string> QtSaveDialog::askSavePath(const std::string& filter)
{
    const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Export du maillage"), fileName_,
                                                        QString::fromStdString(toDialogFilter(filter)));
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
