#include "picture_input.h"

#include "batch_output.h"

#include "platform/qt/picture_loader.h"

#include <cstdio>

std::shared_ptr<const Picture> loadCommandLinePicture(const std::string& path, int& failureStatus)
{
    const LoadedPicture loaded = loadPicture(path);
    if (loaded.loaded())
        return loaded.picture;
    const bool refused = loaded.failure == PictureFailure::TooLarge;
    std::fprintf(stderr, "orvanel-batch : l'image « %s » %s : %s.\n", path.c_str(),
                 refused ? "est refusée" : "n'a pas pu être lue", loaded.reason().c_str());
    failureStatus = loaded.failure == PictureFailure::UnfaithfulName ? exit_status::refused
                                                                      : exit_status::unreadablePicture;
    return nullptr;
}
