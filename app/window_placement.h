#pragma once

#include "platform/export_windows.h"

#include <QObject>

class QScreen;
class QWidget;

// Where the main window stands: centred on the screen when made, and again
// once first shown, when its frame and title bar count; the exports read
// that place to put "Scan" beside it.
class WindowPlacement : public QObject, public MainWindowFrame {
public:
    explicit WindowPlacement(QWidget& window);

    // On the primary screen, as the window is made.
    void centre();
    WindowFrame frame() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centreOn(const QScreen* screen);

    QWidget& window_;
    bool placed_ = false;
};
