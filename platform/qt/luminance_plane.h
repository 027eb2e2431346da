#pragma once

#include "platform/picture.h"

#include <QImage>

#include <memory>

// Whether a decoded image has more than 8 bits a component (16-bit PNG and
// TIFF, grey or colour, 10-bit and floating-point formats): those keep their
// luminance at 16 bits beside the 8-bit colours.
bool hasMoreThanEightBits(QImage::Format format);

// The image's luminance at 16 bits, lumaOf over its components composited
// over black; a grey image gives its own levels. Throws std::bad_alloc when
// the memory cannot hold it.
std::shared_ptr<const Picture::LuminancePlane> luminancePlaneOf(const QImage& image);
