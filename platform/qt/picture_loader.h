#pragma once

#include "platform/picture.h"

#include <QImage>
#include <QString>

// Reads a picture file with Qt's image readers, within Qt's allocation limit.
// A missing, unreadable, corrupt or oversized file gives a null image.
QImage readPictureFile(const QString& path);

// The colours the exports sample, composited over black where transparent.
Picture pictureFromImage(const QImage& image);
