#include "format_options_dialog.h"
#include "print3mf/threemf_format.h"
#include "step/step_format.h"
#include "step/step_job.h"
#include "main_window.h"
#include "platform/qt/french_translations.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_box.h"
#include "export/standard_formats.h"

#include <QApplication>
#include <QFile>
#include <QLocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);
    // The interface is in French, the desktop's own dialogs and buttons too.
    // Sizes and dates in the file dialogs follow the default locale.
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    const FrenchTranslations translations;
    addThreeMfFormat(formatRegistry());
    addStepFormat(formatRegistry());
    QtOpenDialog openDialog;
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtFormatOptionsDialog optionsDialog;
    MainWindow window({openDialog, saveDialog, messages, optionsDialog});
    window.show();
    // "orvanel PICTURE" starts with that picture imported, as the import
    // command would (a file that is not a readable picture changes nothing).
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1)
        window.importFile(QFile::encodeName(arguments.at(1)).toStdString());
    const int status = app.exec();
    // A surface abandoned by a cancel may still be under construction: end
    // without tearing down what it uses.
    if (stepWorkersRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
