#pragma once

#include "preview/grid_thinning.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class ReliefView;

// What the preview says about the relief beside the picture, as the lines to show.
struct PreviewFacts {
    QString size;           // width x height x depth in metres, as the VRML files place it
    QString cells;          // the number of cells
    QStringList fileSizes;  // each format's estimated file size
    QString depth;          // the depth as read, "profondeur maxi : 0,5 m"
    QStringList notes;      // "VRML : 0,21 m", what was made of a field that is not a number
    QString partSize;       // the placed part's size in millimetres, with the options offered
};

// The "Aperçu 3D" window: the relief the exports would write, shaded, with
// its facts. The view (orbit, pan, zoom) stays as it is when the relief
// changes; "Vue de face" or the Home key brings back the front view. A grid
// too large to draw at once is shown thinned, and the window says so.
class ReliefPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReliefPreviewWindow(QWidget* parent = nullptr);

    void setRelief(HeightGrid grid, const PreviewFacts& facts);
    // A grid thinned already, where it was computed.
    void setRelief(ThinnedGrid shown, const PreviewFacts& facts);
    void showFrontView();
    // Before it shows again: where and as large as the user left it.
    void returnWhereLeft();

    ReliefView& view() const { return *view_; }

    QLabel* factsText;
    QCheckBox* depthColours;
    QPushButton* frontView;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ReliefView* view_;
    QByteArray leftAt_;
};
