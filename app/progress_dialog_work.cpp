#include "progress_dialog_work.h"

#include <QApplication>

void ProgressDialogWork::start(const std::string& caption)
{
    finish();
    dialog_ = new QProgressDialog(QString::fromStdString(caption), QStringLiteral("Annuler"), 0, 0,
                                  QApplication::activeWindow());
    dialog_->setWindowTitle(QStringLiteral("Orvanel"));
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->show();
}

bool ProgressDialogWork::keepGoing()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !abandon_ && dialog_ && !dialog_->wasCanceled();
}

void ProgressDialogWork::finish()
{
    delete dialog_.data();
}
