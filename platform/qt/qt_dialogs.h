#pragma once

#include "platform/dialogs.h"

#include <QString>

// Both dialogs are modal over the active window.

// The export's Save dialog, titled "Export du maillage". It asks before
// replacing an existing file and opens on the path chosen last.
class QtSaveDialog : public SaveDialog {
public:
    std::optional<std::string> askSavePath(const std::string& filter, const std::string& extension) override;

private:
    QString fileName_;
};

// The import's Open dialog, titled "Ouvrir une image", listing every file and
// opening on the path chosen last.
class QtOpenDialog : public OpenDialog {
public:
    std::optional<std::string> askOpenPath() override;

private:
    QString fileName_;
};
