#pragma once

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class QSize;
class QStatusBar;
class StatusField;
struct SelectionSummary;

// The status bar under the client area, in the bar's own sections: on the
// left the message that answers the last action, then fixed fields: the
// picture's size, the selection's size in metres, its cells, the file size
// of the format last exported or pointed at in the "Export" menu, and the
// picture pixel under the pointer. A field short of room ends with an
// ellipsis; its tooltip says it all. While an export runs, its progress bar
// takes the room of all but the file size.
class StatusLine : public QObject {
    Q_OBJECT
public:
    explicit StatusLine(QStatusBar* bar);

    // An empty size: no picture.
    void showPicture(const QSize& size);
    void showSummary(const SelectionSummary& summary);
    // The format whose file size the status shows, by id.
    void showFormat(const std::string& id);
    void exportStarted();
    void exportEnded();
    // `x`, `y` in window units.
    void showPointer(float x, float y);
    void clearPointer();
    void commandIgnored();
    // The answer after an action (an export's end, a refused picture, a
    // selection brought back onto the picture), said for a while in the
    // message's section.
    void tell(const QString& answer);

    // The four fixed fields' whole texts, " · " between them.
    QString readout() const;
    QString pointerReadout() const;
    // Left to right, the message's section first.
    std::vector<StatusField*> sections() const;

private:
    void showMessage(const QString& text);
    void showFormatSize();

    QStatusBar* bar_;
    StatusField* message_;
    StatusField* picture_;
    StatusField* selection_;
    StatusField* cells_;
    StatusField* format_;
    StatusField* pointer_;
    struct FormatSize {
        std::string id;
        QString text;  // "vrml1 5,00 Mo"
    };
    std::vector<FormatSize> formatSizes_;
    std::string shownFormat_;
    bool exportRunning_ = false;
};
