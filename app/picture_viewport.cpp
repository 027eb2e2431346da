#include "picture_viewport.h"

#include "main_window_canvas.h"
#include "selection_rectangle.h"
#include "platform/window_unit.h"

#include <QGridLayout>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// The zoom steps of the "Affichage" menu and the wheel.
constexpr double zoomLevels[] = {1.0 / 32, 1.0 / 24, 1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3,
                                 1.0 / 2,  2.0 / 3,  1,        1.5,      2,       3,       4,       6,
                                 8,        12,       16};
constexpr double smallestZoom = zoomLevels[0];
constexpr double largestZoom = zoomLevels[std::size(zoomLevels) - 1];

}  // namespace

PictureViewport::PictureViewport(const SelectionRectangle& rectangle, QWidget* parent)
    : QWidget(parent),
      hbar_(new QScrollBar(Qt::Horizontal, this)),
      vbar_(new QScrollBar(Qt::Vertical, this)),
      canvas_(new MainWindowCanvas(rectangle, this))
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    hbar_->hide();
    vbar_->hide();
    grid->addWidget(canvas_, 0, 0);
    grid->addWidget(vbar_, 0, 1);
    grid->addWidget(hbar_, 1, 0);
    for (QScrollBar* bar : {hbar_, vbar_})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            canvas_->setView(canvas_->zoom(), QPointF(hbar_->value(), vbar_->value()));
        });
    connect(canvas_, &MainWindowCanvas::zoomWheel, this, [this](double notches, QPointF about) {
        const int levels = static_cast<int>(std::lround(notches));
        zoomBy(levels != 0 ? levels : notches > 0 ? 1 : -1, about);
    });
    connect(canvas_, &MainWindowCanvas::scrollWheel, this, [this](QPoint pixels) {
        hbar_->setValue(hbar_->value() - pixels.x());
        vbar_->setValue(vbar_->value() - pixels.y());
    });
}

// The tolerance is given in window units at 100 % and keeps its size on the
// screen below it (SelectionEditor), so the margin does likewise.
double PictureViewport::grabMargin(double zoom)
{
    const double pixels = std::ceil(SelectionRectangle::tolerance /
                                    std::min(window_unit::perPixelAcross, window_unit::perPixelDown));
    return pixels * std::max(1.0, zoom);
}

void PictureViewport::showPicture(const QImage& picture)
{
    canvas_->setPicture(picture);
    applyView(std::min(1.0, fittingZoom()), {});
}

// Zoom and scroll move the picture under the canvas. The bars are decided
// from the whole client area, so that showing one (which narrows the room
// the other sees) never leaves the other wrong.
void PictureViewport::applyView(double zoom, QPointF scroll)
{
    const double margin = grabMargin(zoom);
    const QSizeF content = QSizeF(canvas_->picture().size()) * zoom + QSizeF(margin, margin);
    const QSize whole = size();
    const int barWidth = vbar_->sizeHint().width();
    const int barHeight = hbar_->sizeHint().height();
    bool wantH = content.width() > whole.width() + 0.5;
    bool wantV = content.height() > whole.height() + 0.5;
    wantV = wantV || (wantH && content.height() > whole.height() - barHeight + 0.5);
    wantH = wantH || (wantV && content.width() > whole.width() - barWidth + 0.5);
    if (wantH != !hbar_->isHidden() || wantV != !vbar_->isHidden()) {
        hbar_->setVisible(wantH);
        vbar_->setVisible(wantV);
        layout()->activate();
    }
    const QSize range(std::max(0, int(std::ceil(content.width() - 0.5)) - canvas_->width()),
                      std::max(0, int(std::ceil(content.height() - 0.5)) - canvas_->height()));
    const QSignalBlocker blockH(hbar_), blockV(vbar_);
    hbar_->setRange(0, range.width());
    vbar_->setRange(0, range.height());
    hbar_->setPageStep(std::max(1, canvas_->width()));
    vbar_->setPageStep(std::max(1, canvas_->height()));
    hbar_->setSingleStep(24);
    vbar_->setSingleStep(24);
    hbar_->setValue(int(std::lround(std::clamp(scroll.x(), 0.0, double(range.width())))));
    vbar_->setValue(int(std::lround(std::clamp(scroll.y(), 0.0, double(range.height())))));
    canvas_->setView(zoom, QPointF(hbar_->value(), vbar_->value()));
}

void PictureViewport::setZoom(double zoom, QPointF about)
{
    zoom = std::clamp(zoom, smallestZoom, largestZoom);
    const QPointF picturePoint = (about + canvas_->scroll()) / canvas_->zoom();
    applyView(zoom, picturePoint * zoom - about);
}

void PictureViewport::zoomBy(int levels, QPointF about)
{
    double zoom = canvas_->zoom();
    for (; levels > 0; --levels)
        zoom = *std::find_if(std::begin(zoomLevels), std::end(zoomLevels) - 1,
                             [zoom](double level) { return level > zoom * 1.0001; });
    for (; levels < 0; ++levels) {
        const auto below = std::find_if(std::rbegin(zoomLevels), std::rend(zoomLevels) - 1,
                                        [zoom](double level) { return level < zoom / 1.0001; });
        zoom = *below;
    }
    setZoom(zoom, about);
}

QPointF PictureViewport::centre() const
{
    return QPointF(canvas_->width() / 2.0, canvas_->height() / 2.0);
}

void PictureViewport::zoomIn()
{
    zoomBy(1, centre());
}

void PictureViewport::zoomOut()
{
    zoomBy(-1, centre());
}

// The largest zoom at which the picture and its margin fit the whole client
// area, no bar shown.
double PictureViewport::fittingZoom() const
{
    const QSize picture = canvas_->picture().size();
    if (picture.isEmpty())
        return 1;
    const double margin = grabMargin(1);
    double zoom = std::min((width() - margin) / picture.width(), (height() - margin) / picture.height());
    if (zoom > 1)  // enlarged, the margin grows with the zoom
        zoom = std::min(width() / (picture.width() + margin), height() / (picture.height() + margin));
    return std::clamp(zoom, smallestZoom, largestZoom);
}

void PictureViewport::zoomToFit()
{
    applyView(fittingZoom(), {});
}

void PictureViewport::showActualSize()
{
    setZoom(1, {});
}

// The window's own resizing keeps the zoom and, as far as it can, the scroll.
void PictureViewport::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyView(canvas_->zoom(), canvas_->scroll());
}
