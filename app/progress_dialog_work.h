#pragma once

#include "platform/long_work.h"

#include <QPointer>
#include <QProgressDialog>

// Long work shown as a busy progress dialog with "Annuler"; window events go
// on while it lasts. `abandon` is raised by the windows when the program or
// the export's "Scan" window is closed.
class ProgressDialogWork : public LongWork {
public:
    explicit ProgressDialogWork(const bool& abandon) : abandon_(abandon) {}
    ~ProgressDialogWork() override { finish(); }

    void start(const std::string& caption) override;
    bool keepGoing() override;
    void finish() override;

private:
    const bool& abandon_;
    QPointer<QProgressDialog> dialog_;
};
