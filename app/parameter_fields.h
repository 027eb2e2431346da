#pragma once

#include "relief/export_parameters.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The three parameter fields over the client area's right side, in two
// framed groups: "Echelles" (the maximum depth and the scale) and "Taille
// fichier" (the step). The frames hide the picture behind them; their
// captions take the platform's font at the size their boxes hold.
class ParameterFields {
public:
    explicit ParameterFields(QWidget* clientArea);

    // The texts as an export would read them now.
    FieldTexts texts() const;

    QGroupBox* scalesBox;
    QLabel* depthLabel;
    QLineEdit* depthField;
    QLabel* scaleLabel;
    QLineEdit* scaleField;
    QGroupBox* fileSizeBox;
    QLabel* stepLabel;
    QLineEdit* stepField;
};
