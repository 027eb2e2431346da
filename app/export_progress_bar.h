#pragma once

#include "platform/export_windows.h"

#include <QElapsedTimer>
#include <QWidget>

#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

// The running export in the main window's status area: a bar with its
// percentage, the phase and the time left, "Échap pour annuler" and an
// "Annuler" button; the stage's caption as tooltip. Hidden between exports; the answer at the end is handed
// on to be said in its place.
class ExportProgressBar : public QWidget, public ExportProgress {
    Q_OBJECT
public:
    explicit ExportProgressBar(QStatusBar* bar);

    void advance(const std::string& stage, const std::string& phase, double done) override;
    void end(const std::string& answer) override;

    QProgressBar* bar() const { return bar_; }
    QString note() const;
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelRequested();
    void ended(const QString& answer);

private:
    QProgressBar* bar_;
    QLabel* note_;
    QPushButton* cancel_;
    std::string stage_;
    QElapsedTimer sinceStageStart_;
};

// "encore 5 s", "encore 2 min 05 s", "encore 1 h 20 min".
QString timeLeftText(double seconds);
