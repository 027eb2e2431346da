#pragma once

#include "selection_rectangle.h"

#include <QImage>
#include <QWidget>

// The main window's client area: the picture at natural size from the
// top-left corner, cut off by the area, with the selection's four lines over
// it. Mouse positions are handed on in window units.
class FormCanvas : public QWidget {
    Q_OBJECT
public:
    FormCanvas(const SelectionRectangle& rectangle, QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

signals:
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const SelectionRectangle& rectangle_;
    QImage picture_;
};
