#include "preview_camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double degreesPerPixel = 0.4;
constexpr double zoomPerStep = 1.15;
// Bounds that keep the relief findable and its screen positions small
// enough for the rasterizer's fixed-point arithmetic.
constexpr double nearest = 0.02;
constexpr double farthest = 20;
constexpr double panLimit = 5;

}  // namespace

PreviewCamera PreviewCamera::front()
{
    return {};
}

PreviewCamera PreviewCamera::threeQuarter()
{
    PreviewCamera camera;
    camera.yaw = 30;
    camera.pitch = 35;
    // Turned, a relief's outline grows by up to a quarter.
    camera.distance = 1.25;
    return camera;
}

double PreviewCamera::pixelsPerReliefSize(QSize view) const
{
    return 0.9 * std::min(view.width(), view.height()) / distance;
}

void PreviewCamera::orbit(QPointF pixels)
{
    yaw = std::remainder(yaw - pixels.x() * degreesPerPixel, 360.0);
    // Past the poles the relief would turn upside down: stop there.
    pitch = std::clamp(pitch + pixels.y() * degreesPerPixel, -90.0, 90.0);
}

void PreviewCamera::pan(QPointF pixels, QSize view)
{
    const double scale = pixelsPerReliefSize(view);
    if (scale <= 0)
        return;
    panX = std::clamp(panX + pixels.x() / scale, -panLimit, panLimit);
    panY = std::clamp(panY + pixels.y() / scale, -panLimit, panLimit);
}

void PreviewCamera::zoom(double steps)
{
    distance = std::clamp(distance / std::pow(zoomPerStep, steps), nearest, farthest);
}

bool PreviewCamera::operator==(const PreviewCamera& other) const
{
    return yaw == other.yaw && pitch == other.pitch && distance == other.distance && panX == other.panX &&
           panY == other.panY;
}
