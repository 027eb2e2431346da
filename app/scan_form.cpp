#include "scan_form.h"

#include "platform/window_unit.h"

#include <QCloseEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr QSize clientSize(615, 510);
constexpr QRgb dotColour = qRgb(0, 0x80, 0);  // 0x008000
}  // namespace

Form2::Form2()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dots_(clientSize, QImage::Format_ARGB32_Premultiplied)
{
    setWindowTitle(QStringLiteral("Scan"));
    setFixedSize(clientSize);
    dots_.fill(Qt::transparent);
}

void Form2::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void Form2::moveTo(double left, double top)
{
    move(static_cast<int>(std::lround(left / window_unit::twipsPerPixel)),
         static_cast<int>(std::lround(top / window_unit::twipsPerPixel)));
}

void Form2::show()
{
    dots_.fill(Qt::transparent);
    QWidget::show();
    repaintPending_ = true;
    update();
}

void Form2::hide()
{
    QWidget::hide();
}

void Form2::dot(double x, double y)
{
    const double column = std::floor(x / window_unit::twipsPerPixel);
    const double row = std::floor(y / window_unit::twipsPerPixel);
    if (!(column >= 0 && column < dots_.width() && row >= 0 && row < dots_.height()))
        return;
    dots_.setPixel(static_cast<int>(column), static_cast<int>(row), dotColour);
    // One pending repaint covers every dot until the next event pass.
    if (!repaintPending_) {
        repaintPending_ = true;
        update();
    }
}

void Form2::paintEvent(QPaintEvent*)
{
    repaintPending_ = false;
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(QPointF(0, 0), picture_);
    painter.drawImage(QPointF(0, 0), dots_);
}

void Form2::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedByUser();
}
