#pragma once

// The main window works in a unit of 0.936/1440 inch across and 1/1440 inch
// down: at 96 dots per inch one pixel is 15 / 0.936 units wide and 15 high.
// The "Scan" window and window frames use a square 1/1440 inch (15 per pixel).
namespace window_unit {
constexpr double acrossRatio = 0.936;  // the unit's width over its height
constexpr double perPixelAcross = 15.0 / acrossRatio;
constexpr double perPixelDown = 15.0;
constexpr double twipsPerPixel = 15.0;
}
