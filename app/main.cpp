#include "main_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_box.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window closes, whatever else is open.
    app.setQuitOnLastWindowClosed(false);
    QtOpenDialog openDialog;
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    Form1 form({openDialog, saveDialog, messages});
    form.show();
    return app.exec();
}
