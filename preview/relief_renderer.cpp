#include "relief_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// Screen positions in sixteenths of a pixel, so that neighbouring triangles
// agree exactly on their shared edge: no pixel is left between them.
constexpr int subpixelBits = 4;
constexpr std::int64_t subpixels = 1 << subpixelBits;
// Beyond this (in pixels) a point is dropped rather than risk overflow; the
// camera's bounds keep a visible relief well inside it.
constexpr double farOff = 1e7;

constexpr float ambient = 0.25f;
constexpr float depthColourLight = 0.25f;  // how much the light darkens the depth colours
// Towards the light, in the eye's frame (X right, Y down, Z away from the
// eye): from the upper left, in front.
constexpr float lightX = -0.5f, lightY = -0.6f, lightZ = -1.0f;
constexpr QRgb clay = 0xffe6dcc8;

struct Vertex {
    std::int32_t x, y;  // in sixteenths of a pixel
    float z;            // away from the eye, in pixels
    float ramp;   // 0 at the shallowest point, 1 at the deepest
    bool valid;
};

struct Extent {
    double xMin, xMax, yMin, yMax, dMin, dMax;
};

template <typename Range>
void widen(const Range& values, double& low, double& high)
{
    for (double v : values) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
}

Extent extentOf(const HeightGrid& grid)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Extent e{inf, -inf, inf, -inf, inf, -inf};
    widen(grid.xs, e.xMin, e.xMax);
    widen(grid.ys, e.yMin, e.yMax);
    widen(grid.depths, e.dMin, e.dMax);
    return e;
}

// Dark violet through blue and green to yellow, brightening all the way,
// so that the brightest colours are the deepest points as in the picture.
std::array<QRgb, 256> depthRamp()
{
    static const float stops[][3] = {
        {0.267f, 0.005f, 0.329f}, {0.230f, 0.322f, 0.546f}, {0.128f, 0.567f, 0.551f},
        {0.369f, 0.789f, 0.383f}, {0.993f, 0.906f, 0.144f},
    };
    constexpr int last = 4;
    std::array<QRgb, 256> ramp{};
    for (int i = 0; i < 256; ++i) {
        const float at = i / 255.0f * last;
        const int k = std::min(static_cast<int>(at), last - 1);
        const float f = at - k;
        int rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<int>(std::lround(255 * (stops[k][c] + (stops[k + 1][c] - stops[k][c]) * f)));
        ramp[i] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
    return ramp;
}

QRgb scaled(QRgb colour, int by256)
{
    return qRgb((qRed(colour) * by256) >> 8, (qGreen(colour) * by256) >> 8, (qBlue(colour) * by256) >> 8);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Draws the triangles' pixels on the rows from `top` to `bottom` (excluded)
// of the picture: each band of rows has its own rasterizer and thread, and
// all take the triangles in the same order, so the pixels do not depend on
// the number of bands.
class Rasterizer {
public:
    Rasterizer(QImage& image, int top, int bottom, RenderMode mode)
        : width_(image.width()),
          top_(top),
          bottom_(bottom),
          stride_(image.bytesPerLine() / 4),
          pixels_(reinterpret_cast<QRgb*>(image.bits()) + std::size_t(top) * stride_),
          depths_(std::size_t(width_) * (bottom - top), std::numeric_limits<float>::infinity()),
          mode_(mode)
    {
        if (mode == RenderMode::DepthColours)
            ramp_ = depthRamp();
        const float length = std::sqrt(lightX * lightX + lightY * lightY + lightZ * lightZ);
        light_[0] = lightX / length;
        light_[1] = lightY / length;
        light_[2] = lightZ / length;
    }

    void triangle(const Vertex& a, const Vertex& b, const Vertex& c);

private:
    int shadeOf(const Vertex& a, const Vertex& b, const Vertex& c) const;

    int width_;
    int top_;
    int bottom_;
    int stride_;
    QRgb* pixels_;
    std::vector<float> depths_;
    RenderMode mode_;
    std::array<QRgb, 256> ramp_{};
    float light_[3];
};

// Lambert's cosine, plus some ambient light, in 256ths. The relief is open:
// whichever face is seen is lit.
int Rasterizer::shadeOf(const Vertex& a, const Vertex& b, const Vertex& c) const
{
    constexpr float pixel = 1.0f / subpixels;
    const float ux = (b.x - a.x) * pixel, uy = (b.y - a.y) * pixel, uz = b.z - a.z;
    const float vx = (c.x - a.x) * pixel, vy = (c.y - a.y) * pixel, vz = c.z - a.z;
    float nx = uy * vz - uz * vy;
    float ny = uz * vx - ux * vz;
    float nz = ux * vy - uy * vx;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0))
        return 0;
    if (nz > 0) {
        nx = -nx;
        ny = -ny;
        nz = -nz;
    }
    const float lambert = std::max(0.0f, (nx * light_[0] + ny * light_[1] + nz * light_[2]) / length);
    const float shade = mode_ == RenderMode::Shaded ? ambient + (1 - ambient) * lambert
                                                    : 1 - depthColourLight + depthColourLight * lambert;
    return static_cast<int>(shade * 256);
}

void Rasterizer::triangle(const Vertex& a, const Vertex& b, const Vertex& c)
{
    if (!a.valid || !b.valid || !c.valid)
        return;
    if (std::max({a.x, b.x, c.x}) < 0 || std::min({a.x, b.x, c.x}) > width_ * subpixels ||
        std::max({a.y, b.y, c.y}) < top_ * subpixels || std::min({a.y, b.y, c.y}) > bottom_ * subpixels)
        return;

    const Vertex* v[3] = {&a, &b, &c};
    std::int64_t X[3] = {a.x, b.x, c.x}, Y[3] = {a.y, b.y, c.y};
    std::int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
    if (area == 0)
        return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }

    // Pixels whose centre lies inside, edges included.
    constexpr std::int64_t half = subpixels / 2;
    const std::int64_t x0 = std::max<std::int64_t>(0, floorDiv(*std::min_element(X, X + 3) - half + subpixels - 1, subpixels));
    const std::int64_t x1 = std::min<std::int64_t>(width_ - 1, floorDiv(*std::max_element(X, X + 3) - half, subpixels));
    const std::int64_t y0 = std::max<std::int64_t>(top_, floorDiv(*std::min_element(Y, Y + 3) - half + subpixels - 1, subpixels));
    const std::int64_t y1 = std::min<std::int64_t>(bottom_ - 1, floorDiv(*std::max_element(Y, Y + 3) - half, subpixels));
    if (x0 > x1 || y0 > y1)
        return;

    // Edge i faces vertex i; its function is that vertex's barycentric weight times the area.
    std::int64_t edge[3], stepX[3], stepY[3];
    const std::int64_t px = x0 * subpixels + half, py = y0 * subpixels + half;
    for (int i = 0; i < 3; ++i) {
        const int from = (i + 1) % 3, to = (i + 2) % 3;
        stepX[i] = -(Y[to] - Y[from]) * subpixels;
        stepY[i] = (X[to] - X[from]) * subpixels;
        edge[i] = (X[to] - X[from]) * (py - Y[from]) - (Y[to] - Y[from]) * (px - X[from]);
    }
    const double inverseArea = 1.0 / double(area);
    auto plane = [&](float Vertex::*value, double& start, float& dx, float& dy) {
        double s = 0, sx = 0, sy = 0;
        for (int i = 0; i < 3; ++i) {
            const double w = v[i]->*value;
            s += double(edge[i]) * w;
            sx += double(stepX[i]) * w;
            sy += double(stepY[i]) * w;
        }
        start = s * inverseArea;
        dx = static_cast<float>(sx * inverseArea);
        dy = static_cast<float>(sy * inverseArea);
    };
    double zStart, rampStart = 0;
    float zDx, zDy, rampDx = 0, rampDy = 0;
    plane(&Vertex::z, zStart, zDx, zDy);

    const int shade = shadeOf(*v[0], *v[1], *v[2]);
    const QRgb flat = scaled(clay, shade);
    const bool coloured = mode_ == RenderMode::DepthColours;
    if (coloured)
        plane(&Vertex::ramp, rampStart, rampDx, rampDy);

    for (std::int64_t y = y0; y <= y1; ++y) {
        std::int64_t e0 = edge[0], e1 = edge[1], e2 = edge[2];
        float z = static_cast<float>(zStart);
        float ramp = static_cast<float>(rampStart);
        float* depthRow = &depths_[std::size_t(y - top_) * width_];
        QRgb* pixelRow = pixels_ + std::size_t(y - top_) * stride_;
        for (std::int64_t x = x0; x <= x1; ++x) {
            if ((e0 | e1 | e2) >= 0 && z < depthRow[x]) {
                depthRow[x] = z;
                if (coloured) {
                    const int at = std::clamp(static_cast<int>(ramp * 255 + 0.5f), 0, 255);
                    pixelRow[x] = scaled(ramp_[at], shade);
                } else {
                    pixelRow[x] = flat;
                }
            }
            e0 += stepX[0];
            e1 += stepX[1];
            e2 += stepX[2];
            z += zDx;
            ramp += rampDx;
        }
        edge[0] += stepY[0];
        edge[1] += stepY[1];
        edge[2] += stepY[2];
        zStart += zDy;
        rampStart += rampDy;
    }
}

}  // namespace

QRgb previewBackground()
{
    return 0xff30343a;
}

QImage renderRelief(const HeightGrid& grid, const PreviewCamera& camera, QSize size, RenderMode mode)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(previewBackground());
    const std::size_t columns = grid.xs.size();
    const std::size_t rows = grid.ys.size();
    if (!grid.hasCells() || grid.depths.size() != columns * rows)
        return image;

    const Extent e = extentOf(grid);
    if (!(e.xMin <= e.xMax && e.yMin <= e.yMax && e.dMin <= e.dMax))
        return image;
    double reliefSize = std::max({e.xMax - e.xMin, e.yMax - e.yMin, e.dMax - e.dMin});
    if (!(reliefSize > 0) || !std::isfinite(reliefSize))
        reliefSize = 1;
    const double depthRange = e.dMax - e.dMin;

    // The eye's frame: turn about the vertical axis (yaw), then tilt about
    // the horizontal one (pitch), around the relief's centre.
    const double ppr = camera.pixelsPerReliefSize(size);
    const double scale = ppr / reliefSize;
    const double cy = std::cos(camera.yaw * pi / 180), sy = std::sin(camera.yaw * pi / 180);
    const double cp = std::cos(camera.pitch * pi / 180), sp = std::sin(camera.pitch * pi / 180);
    const double centreX = (e.xMin + e.xMax) / 2, centreY = (e.yMin + e.yMax) / 2, centreD = (e.dMin + e.dMax) / 2;
    const double originX = size.width() / 2.0 + camera.panX * ppr;
    const double originY = size.height() / 2.0 + camera.panY * ppr;

    std::vector<Vertex> vertices(columns * rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const double y = grid.ys[r] - centreY;
        for (std::size_t c = 0; c < columns; ++c) {
            const double x = grid.xs[c] - centreX;
            const double depth = grid.depths[r * columns + c];
            const double d = depth - centreD;
            const double turnedX = x * cy + d * sy;
            const double turnedD = d * cy - x * sy;
            const double screenX = originX + scale * turnedX;
            const double screenY = originY + scale * (y * cp - turnedD * sp);
            const double away = scale * (turnedD * cp + y * sp);
            Vertex& v = vertices[r * columns + c];
            v.valid = std::isfinite(screenX) && std::isfinite(screenY) && std::isfinite(away) &&
                      std::abs(screenX) < farOff && std::abs(screenY) < farOff;
            v.x = v.valid ? static_cast<std::int32_t>(std::lround(screenX * subpixels)) : 0;
            v.y = v.valid ? static_cast<std::int32_t>(std::lround(screenY * subpixels)) : 0;
            v.z = static_cast<float>(away);
            v.ramp = depthRange > 0 ? static_cast<float>((depth - e.dMin) / depthRange) : 0.5f;
        }
    }

    const auto drawBand = [&](int band, int bands) {
        const int height = image.height();
        Rasterizer rasterizer(image, height * band / bands, height * (band + 1) / bands, mode);
        for (std::size_t r = 0; r + 1 < rows; ++r) {
            const Vertex* top = &vertices[r * columns];
            const Vertex* bottom = top + columns;
            for (std::size_t c = 0; c + 1 < columns; ++c) {
                rasterizer.triangle(top[c], bottom[c], top[c + 1]);
                rasterizer.triangle(bottom[c], bottom[c + 1], top[c + 1]);
            }
        }
    };
    // A thread per processor, up to four, when the grid is worth it.
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    const int bands = vertices.size() < 20000 ? 1 : std::clamp(processors, 1, std::min(4, image.height()));
    std::vector<std::thread> helpers;
    for (int band = 1; band < bands; ++band)
        helpers.emplace_back(drawBand, band, bands);
    drawBand(0, bands);
    for (std::thread& helper : helpers)
        helper.join();
    return image;
}
