#include "window_placement.h"

#include "platform/window_unit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

WindowPlacement::WindowPlacement(QWidget& window) : QObject(&window), window_(window)
{
    window.installEventFilter(this);
}

void WindowPlacement::centre()
{
    centreOn(QGuiApplication::primaryScreen());
}

void WindowPlacement::centreOn(const QScreen* screen)
{
    if (!screen)
        return;
    QRect outer = window_.frameGeometry();
    outer.moveCenter(screen->availableGeometry().center());
    window_.move(outer.topLeft());
}

// The frame is known only once the window is on the screen, after the
// show event.
bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Show && !placed_) {
        placed_ = true;
        QTimer::singleShot(0, this, [this] {
            centreOn(window_.screen() ? window_.screen() : QGuiApplication::primaryScreen());
        });
    }
    return false;
}

WindowFrame WindowPlacement::frame() const
{
    const QRect outer = window_.frameGeometry();
    return {outer.x() * window_unit::twipsPerPixel, outer.y() * window_unit::twipsPerPixel,
            outer.width() * window_unit::twipsPerPixel};
}
