#include "format_options_dialog.h"
#include "step/step_format.h"
#include "step/step_job.h"
#include "main_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_box.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);
    // The interface is in French, the desktop's own dialogs and buttons too.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFrench);
    addStepFormat(formatRegistry());
    QtOpenDialog openDialog;
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtFormatOptionsDialog optionsDialog;
    Form1 form({openDialog, saveDialog, messages, optionsDialog});
    form.show();
    const int status = app.exec();
    // A surface abandoned by a cancel may still be under construction: end
    // without tearing down what it uses.
    if (stepWorkersRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
