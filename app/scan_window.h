#pragma once

#include "platform/export_windows.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <vector>

// The "Scan" window: a fixed tool window showing the picture, on which an
// export plots a green dot per cell. Its unit is a square 1/1440 inch. It
// stands where the export puts it unless that is partly off the screen, in
// front of `owner` (the main window), and scrolls to follow the dots of a
// selection larger than it is.
class ScanWindow : public QWidget, public ProgressWindow {
    Q_OBJECT
public:
    explicit ScanWindow(QWidget* owner = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // The dots in the client area, over the picture.
    QImage dots() const;
    // The client area's top-left corner, in pixels of the unscrolled window.
    QPoint scrolled() const { return scroll_; }

    void moveTo(double left, double top) override;
    void show() override;
    void hide() override;
    void dot(double x, double y) override;

signals:
    void closedByUser();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void keepOnScreen();
    void scrollTo(QPoint corner);
    void clearDots(QSize size);

    QImage picture_;
    // Every dot of the export, one bit a pixel of the unscrolled window, so
    // that a scroll shows them again.
    QImage plotted_;
    uchar* plottedBits_ = nullptr;
    QPoint scroll_;
    QPoint wanted_;  // where the export placed the window
    bool repaintPending_ = false;
};
