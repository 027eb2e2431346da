#include "export_runner.h"

#include "progress_dialog_work.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/replacing_file_sink.h"

ExportRunner::ExportRunner(SaveDialog& saveDialog, MessageBox& messages, FormatOptionsDialog& options,
                           MainWindowFrame& mainWindow)
    : saveDialog_(saveDialog), messages_(messages), options_(options), mainWindow_(mainWindow)
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
    ProgressDialogWork work(abandon_);
    DesktopExportFacilities facilities{saveDialog_, files,  target,   mainWindow_, scan,
                                       messages_,   events, options_, work,        picturePath};
    runDesktopExport(format, request, facilities);
    running_ = false;
}
