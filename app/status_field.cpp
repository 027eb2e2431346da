#include "status_field.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int padding = 4;  // on each side, inside the section's frame

}  // namespace

StatusField::StatusField(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void StatusField::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    updateToolTip();
    updateGeometry();
    update();
}

void StatusField::setDetail(const QString& detail)
{
    detail_ = detail;
    updateToolTip();
}

// The whole text first, unless the detail says it already.
void StatusField::updateToolTip()
{
    if (detail_.contains(text_))
        setToolTip(detail_);
    else
        setToolTip(detail_.isEmpty() ? text_ : text_ + QLatin1Char('\n') + detail_);
}

void StatusField::reserveWidthFor(const QString& sample)
{
    sample_ = sample;
    updateGeometry();
}

void StatusField::keepWholeUpTo(int pixels)
{
    keptWhole_ = pixels;
    updateGeometry();
}

QString StatusField::shownText() const
{
    const QFontMetrics metrics = fontMetrics();
    const int room = std::max(0, width() - 2 * padding);
    // Measured as sizeHint() measures, so that a field given its hint shows it all.
    return metrics.horizontalAdvance(text_) <= room ? text_ : metrics.elidedText(text_, Qt::ElideRight, room);
}

QSize StatusField::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int needed = std::max(metrics.horizontalAdvance(text_), metrics.horizontalAdvance(sample_));
    return {needed + 2 * padding, metrics.height()};
}

// Room for the ellipsis alone, unless asked to keep more: the bar shrinks
// its sections down to it rather than lay them over one another.
QSize StatusField::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int kept = std::min(metrics.horizontalAdvance(text_), keptWhole_);
    return {std::max(metrics.horizontalAdvance(QStringLiteral("…")), kept) + 2 * padding, metrics.height()};
}

void StatusField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(padding, 0, -padding, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     shownText());
}
