// orvanel-batch: the desktop program's exports from the command line.

#include "batch_arguments.h"
#include "batch_export.h"
#include "interrupt_signal.h"

#include "platform/qt/picture_loader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <unistd.h>

#ifndef ORVANEL_VERSION
#define ORVANEL_VERSION "?"
#endif

namespace {

int unreadablePicture(const std::string& path)
{
    const QFileInfo file(QFile::decodeName(path.c_str()));
    const char* reason = !file.exists()   ? "fichier introuvable"
                         : file.isDir()   ? "c'est un dossier"
                         : !file.isReadable() ? "lecture non autorisée"
                                          : "format inconnu, fichier endommagé ou image trop grande";
    std::fprintf(stderr, "orvanel-batch : l'image « %s » n'a pas pu être lue : %s.\n", path.c_str(), reason);
    return exit_status::unreadablePicture;
}

}  // namespace

int main(int argc, char** argv)
{
    // Beyond a file-size limit a write then fails and is reported, with the
    // earlier file kept, instead of the signal killing the program midway.
    std::signal(SIGXFSZ, SIG_IGN);

    const ParsedCommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.request) {
    case ParsedCommandLine::Request::Help:
        std::fputs(usageText().c_str(), stdout);
        return exit_status::written;
    case ParsedCommandLine::Request::Version:
        std::printf("orvanel-batch %s\n", ORVANEL_VERSION);
        return exit_status::written;
    case ParsedCommandLine::Request::Invalid:
        std::fprintf(stderr, "orvanel-batch : %s\nUsage : orvanel-batch FORMAT IMAGE SORTIE [options] (voir --help)\n",
                     command.problem.c_str());
        return exit_status::refused;
    case ParsedCommandLine::Request::Export:
        break;
    }
    const BatchArguments& arguments = command.arguments;

    // Qt finds the plug-in image formats (TIFF, WebP...) through the application object.
    QCoreApplication application(argc, argv);
    const QImage image = readPictureFile(QFile::decodeName(arguments.image.c_str()));
    if (image.isNull())
        return unreadablePicture(arguments.image);
    if (const int signal = interruptingSignal())
        return exit_status::interruptedBy(signal);
    auto picture = std::make_shared<const Picture>(pictureFromImage(image));
    if (picture->isNull())
        return unreadablePicture(arguments.image);

    std::FILE* progress = !arguments.quiet && isatty(fileno(stderr)) ? stderr : nullptr;
    return runBatchExport(arguments, std::move(picture), progress);
}
