#include "export_runner.h"

#include "waiting_work.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/replacing_file_sink.h"

ExportRunner::ExportRunner(SaveDialog& saveDialog, MessageBox& messages, FormatOptionsDialog& options,
                           MainWindowFrame& mainWindow, ExportProgress& progress)
    : saveDialog_(saveDialog), messages_(messages), options_(options), mainWindow_(mainWindow), progress_(progress)
{
}

void ExportRunner::run(const FormatEntry& format, const ExportRequest& request, ProgressWindow& scan,
                       const std::string& picturePath)
{
    running_ = true;
    abandon_ = false;
    ReplacingFileOpener files;
    SystemTargetFacts target;
    QtEventLoop events(abandon_);
    WaitingWork work(abandon_);
    DesktopExportFacilities facilities{saveDialog_, files,  target,   mainWindow_, scan,       progress_,
                                       messages_,   events, options_, work,        picturePath};
    runDesktopExport(format, request, facilities);
    running_ = false;
}
