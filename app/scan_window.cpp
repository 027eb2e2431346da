#include "scan_window.h"

#include "platform/window_unit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr QSize clientSize(615, 510);
constexpr QRgb dotColour = qRgb(0, 0x80, 0);  // 0x008000
// The dots remembered for a scroll back cover at most this many pixels a side.
constexpr int plottedLimit = 1 << 15;
}  // namespace

// A tool window of its owner's: the window manager keeps it in front of
// the main window, which may be under it on a small screen.
ScanWindow::ScanWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Scan"));
    setFixedSize(clientSize);
    clearDots(clientSize);
}

void ScanWindow::clearDots(QSize size)
{
    plotted_ = QImage(size, QImage::Format_Mono);
    plotted_.setColorTable({qRgba(0, 0, 0, 0), dotColour});
    plotted_.fill(0);
    plottedBits_ = plotted_.bits();
}

void ScanWindow::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void ScanWindow::moveTo(double left, double top)
{
    wanted_ = QPoint(static_cast<int>(std::lround(left / window_unit::twipsPerPixel)),
                     static_cast<int>(std::lround(top / window_unit::twipsPerPixel)));
    keepOnScreen();
}

// Beside the main window, unless part of it would be off the screen: then
// moved just enough for all of it, title bar and close button included, to show.
void ScanWindow::keepOnScreen()
{
    QRect outer = frameGeometry();
    outer.moveTopLeft(wanted_);
    const QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen)
        screen = QGuiApplication::screenAt(wanted_);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        outer.moveLeft(std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width())));
        outer.moveTop(std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height())));
    }
    move(outer.topLeft());
}

void ScanWindow::show()
{
    // Room for a dot on every pixel of the picture as this window shows it.
    clearDots(QSize(std::min(plottedLimit, std::max(clientSize.width(), int(std::ceil(picture_.width() / window_unit::acrossRatio)) + 1)),
                    std::min(plottedLimit, std::max(clientSize.height(), picture_.height() + 1))));
    scroll_ = {};
    QWidget::show();
    keepOnScreen();  // the frame's size is known once shown
    raise();
    repaintPending_ = true;
    update();
}

void ScanWindow::hide()
{
    QWidget::hide();
}

void ScanWindow::scrollTo(QPoint corner)
{
    scroll_ = corner;
    update();
}

QImage ScanWindow::dots() const
{
    return plotted_.copy(QRect(scroll_, clientSize)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ScanWindow::dot(double x, double y)
{
    const double column = std::floor(x / window_unit::twipsPerPixel);
    const double row = std::floor(y / window_unit::twipsPerPixel);
    if (!(column >= 0 && row >= 0 && column < INT_MAX && row < INT_MAX))
        return;
    const QPoint at(static_cast<int>(column), static_cast<int>(row));
    // Set straight in the bits (most significant first): a dot per cell.
    if (at.x() < plotted_.width() && at.y() < plotted_.height())
        plottedBits_[std::size_t(at.y()) * std::size_t(plotted_.bytesPerLine()) + std::size_t(at.x() >> 3)] |=
            uchar(0x80u >> (at.x() & 7));
    // A dot beyond the client area brings it into view, a quarter of the way in.
    const QRect shown(scroll_, clientSize);
    if (!shown.contains(at)) {
        QPoint corner = scroll_;
        if (at.x() < shown.left() || at.x() > shown.right())
            corner.setX(std::max(0, at.x() - clientSize.width() / 4));
        if (at.y() < shown.top() || at.y() > shown.bottom())
            corner.setY(std::max(0, at.y() - clientSize.height() / 4));
        scrollTo(corner);
    }
    // One pending repaint covers every dot until the next event pass.
    if (!repaintPending_) {
        repaintPending_ = true;
        update();
    }
}

void ScanWindow::paintEvent(QPaintEvent*)
{
    repaintPending_ = false;
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(QPointF(0, 0), picture_, QRectF(scroll_, clientSize));
    // Only the part in view is turned into colours.
    painter.drawImage(QPointF(0, 0), plotted_.copy(QRect(scroll_, clientSize)));
}

void ScanWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedByUser();
}

// Escape stops the export as closing the window does.
void ScanWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return void(close());
    QWidget::keyPressEvent(event);
}
