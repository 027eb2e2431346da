#pragma once

#include "relief/height_grid.h"

#include <QSize>

#include <string>

// The batch's picture of the relief: the three-quarter view, shaded.
constexpr QSize previewPictureSize{1200, 900};

// The picture as the bytes of a PNG file, made in memory: whoever writes
// them decides where and how. Empty if the picture could not be encoded.
std::string previewPng(const HeightGrid& grid);
