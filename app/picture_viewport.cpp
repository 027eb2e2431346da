#include "picture_viewport.h"

#include "main_window_canvas.h"

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

void PictureViewport::showPicture(const QImage& picture)
{
    canvas_->setPicture(picture);
    applyView(canvas_->zoom(), canvas_->scroll(), true);
}

// Zoom and scroll move the picture under the canvas.
void PictureViewport::applyView(double zoom, QPointF scroll, bool fitWindowToBars)
{
    const QSizeF content = QSizeF(canvas_->picture().size()) * zoom;
    const QSize view = canvas_->size();
    const bool wantH = content.width() > view.width() + 0.5;
    const bool wantV = content.height() > view.height() + 0.5;
    if (wantH != !hbar_->isHidden() || wantV != !vbar_->isHidden()) {
        hbar_->setVisible(wantH);
        vbar_->setVisible(wantV);
        if (fitWindowToBars) {
            QWidget* outer = window();
            for (int pass = 0; pass < 2; ++pass) {
                outer->layout()->activate();
                layout()->activate();
                if (canvas_->size() == view)
                    break;
                outer->resize(outer->size() + view - canvas_->size());
            }
        }
    }
    const QSize range(std::max(0, int(std::ceil(content.width())) - canvas_->width()),
                      std::max(0, int(std::ceil(content.height())) - canvas_->height()));
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
    applyView(zoom, picturePoint * zoom - about, true);
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

void PictureViewport::zoomToFit()
{
    const QSize picture = canvas_->picture().size();
    if (picture.isEmpty())
        return setZoom(1, {});
    const double zoom =
        std::min(double(canvas_->width()) / picture.width(), double(canvas_->height()) / picture.height());
    applyView(std::clamp(zoom, smallestZoom, largestZoom), {}, true);
}

void PictureViewport::showActualSize()
{
    setZoom(1, {});
}

// The window's own resizing keeps the zoom and, as far as it can, the scroll.
void PictureViewport::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyView(canvas_->zoom(), canvas_->scroll(), false);
}
