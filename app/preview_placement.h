#pragma once

#include <QRect>
#include <QSize>

// The main window as the preview's placement sees it, in screen pixels.
struct MainWindowArea {
    QRect frame;     // the whole window, title bar and borders included
    int clientTop;   // the first row under the menu bar
    int fieldsLeft;  // the first column of the parameter frames
};

// Where "Aperçu 3D" opens, its frame in screen pixels, on the screen's
// available area: beside the main window where the screen has room, on the
// right unless only the left has it, as large as wanted down to `smallest`;
// else over the picture's far side from the fields, from the screen's left
// edge up to the fields, under the menu bar. Never off the screen, never
// over the main window's title or menu bar.
QRect previewPlacement(const QRect& screen, const MainWindowArea& main, QSize wanted, QSize smallest);
