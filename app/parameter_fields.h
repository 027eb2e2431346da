#pragma once

#include "relief/export_parameters.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The three parameter fields over the client area's right side, in two
// framed groups: "Echelles" (the maximum depth and the scale) and "Taille
// fichier" (the step). The frames hide the picture behind them and stay
// flush against the client area's right side, 3 pixels from it, whatever
// its width; their captions take the platform's font at the size their
// boxes hold. Each field's tooltip says its unit in plain words.
class ParameterFields {
public:
    explicit ParameterFields(QWidget* clientArea);

    // The texts as an export would read them now.
    FieldTexts texts() const;
    // The client area is now this wide.
    void standAgainstRightSide(int clientWidth);

    QGroupBox* scalesBox;
    QLabel* depthLabel;
    QLineEdit* depthField;
    QLabel* scaleLabel;
    QLineEdit* scaleField;
    QGroupBox* fileSizeBox;
    QLabel* stepLabel;
    QLineEdit* stepField;
};
