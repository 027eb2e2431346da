#pragma once

#include "platform/scan_window.h"

#include <QImage>
#include <QWidget>

// The "Scan" window: a fixed tool window showing the picture, on which an
// export plots a green dot per cell. Its unit is a square 1/1440 inch.
class Form2 : public QWidget, public ScanWindow {
    Q_OBJECT
public:
    Form2();

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    const QImage& dots() const { return dots_; }

    void moveTo(double left, double top) override;
    void show() override;
    void hide() override;
    void dot(double x, double y) override;

signals:
    void closedByUser();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QImage picture_;
    QImage dots_;  // the client area's dots over the picture
    bool repaintPending_ = false;
};
