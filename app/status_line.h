#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

// The status line under the client area: what an export would make of the
// selection and fields (said to be running while one is), and on its right
// the picture pixel under the pointer. A command refused during an export,
// and how an action ended, are said there for a while.
class StatusLine : public QObject {
    Q_OBJECT
public:
    explicit StatusLine(QStatusBar* bar);

    void showSelection(const QString& text);
    // The selection as the export started reads it, marked as running; the
    // mark goes with the next selection shown after the export.
    void exportStarted();
    void exportEnded();
    // `x`, `y` in window units.
    void showPointer(float x, float y);
    void clearPointer();
    void commandIgnored();
    // The answer after an action (an export's end, a refused picture), said
    // for a while in place of the readout.
    void tell(const QString& answer);

    QString readout() const;
    QString pointerReadout() const;

private:
    void show();

    QStatusBar* bar_;
    QLabel* readout_;
    QLabel* pointer_;
    QString selectionText_;
    bool exportRunning_ = false;
};
