// orvanel-batch: the desktop program's exports from the command line.

#include "batch_arguments.h"
#include "batch_run.h"
#include "interrupt_signal.h"

#include "platform/standard_output_sink.h"
#include "export/standard_formats.h"
#include "print3mf/threemf_format.h"
#include "step/step_format.h"
#include "step/step_job.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

#ifndef ORVANEL_VERSION
#define ORVANEL_VERSION "?"
#endif

namespace {

bool isValidUtf8(const char* text)
{
    const QByteArray bytes(text);
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    reserveStandardStreams();
    endAtOnceOnInterruption();
    // Beyond a file-size limit a write then fails and is reported, with the
    // earlier file kept, instead of the signal killing the program midway.
    std::signal(SIGXFSZ, SIG_IGN);
    // A closed pipe on standard output is a write failure to report, not a death.
    std::signal(SIGPIPE, SIG_IGN);

    // Paths are used as the bytes given; a name that is not UTF-8 could only
    // be read as another name, so it is refused.
    for (int i = 1; i < argc; ++i)
        if (!isValidUtf8(argv[i])) {
            std::fprintf(stderr, "orvanel-batch : l'argument n° %d n'est pas un texte UTF-8 valide : refusé plutôt "
                                 "que lu comme un autre nom.\n", i);
            return exit_status::refused;
        }

    addThreeMfFormat(formatRegistry());
    addStepFormat(formatRegistry());
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
    int status = exit_status::written;
    if (const std::optional<CheckedRun> run = checkRun(arguments, status)) {
        std::FILE* progress = !arguments.quiet && isatty(fileno(stderr)) ? stderr : nullptr;
        status = writeRun(*run, progress);
    }
    // A surface abandoned on a stop signal may still be under construction.
    if (stepWorkersRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
