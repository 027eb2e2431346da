#pragma once

#include "platform/picture.h"

#include <cstdint>
#include <QImage>
#include <QSize>

#include <memory>
#include <string>

enum class PictureFailure {
    None,
    UnfaithfulName,   // the name's bytes do not come back from Qt's file names unchanged
    Missing,
    Folder,
    NotRegularFile,   // a FIFO, a device or a socket: never opened, so never waited on
    Unreadable,
    UnknownFormat,
    Damaged,          // a decoder error, or data ending before the picture does
    TooLarge,         // readable, but more than this computer's memory can hold
};

struct LoadedPicture {
    PictureFailure failure = PictureFailure::None;
    QSize size;  // the size the file announces, once known

    // The single decoded copy, composited over black, 0xFFBBGGRR a pixel
    // (Format_RGBX8888): the windows paint from it, and `picture` reads its
    // memory without copying it. A file of more than 8 bits a component also
    // leaves `picture` its luminance plane at 16 bits, made once.
    QImage image;
    std::shared_ptr<const Picture> picture;

    bool loaded() const { return failure == PictureFailure::None; }
    // Why the picture was not loaded, in French, for the end of a sentence.
    std::string reason() const;
};

// Reads a picture file whole. The path is taken as bytes, exactly as given.
// Qt's and the decoders' warnings are kept from the terminal.
// `memoryBudget` bytes at most for the decoded picture; 0: what the machine
// has available.
LoadedPicture loadPicture(const std::string& path, std::uint64_t memoryBudget = 0);

// The exports' colours for an image decoded elsewhere: the image is converted
// in place when no one else shares it.
LoadedPicture pictureFromImage(QImage image);
