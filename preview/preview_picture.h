#pragma once

#include "relief/height_grid.h"

#include <QSize>
#include <QString>

// The batch's picture of the relief: the three-quarter view, shaded.
constexpr QSize previewPictureSize{1200, 900};

// Writes the picture as a PNG file at `path`, replacing it only once the
// whole picture is written. On failure returns false and, when `error` is
// given, says why in French.
bool savePreviewPng(const HeightGrid& grid, const QString& path, QString* error = nullptr);
