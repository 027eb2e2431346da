#include "parameter_fields.h"

#include "platform/window_unit.h"
#include "relief/export_parameters.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <vector>

namespace {

// The largest size, up to the platform's own, at which every caption fits
// the box it was given.
QFont fittingFont(QFont font, const std::vector<QWidget*>& boxes)
{
    const auto fits = [&](const QFont& f) {
        const QFontMetrics metrics(f);
        for (QWidget* box : boxes) {
            const auto* label = qobject_cast<QLabel*>(box);
            const auto* group = qobject_cast<QGroupBox*>(box);
            const QString text = label ? label->text() : group ? group->title() : QString();
            const int flags = Qt::AlignLeft | Qt::AlignTop | (label && label->wordWrap() ? Qt::TextWordWrap : 0);
            const QSize room = group ? QSize(group->width() - 16, metrics.height()) : box->size();
            const QRect needed = metrics.boundingRect(QRect(QPoint(), room), flags, text);
            if (needed.width() > room.width() || needed.height() > room.height())
                return false;
        }
        return true;
    };
    int pixels = QFontInfo(font).pixelSize();
    for (font.setPixelSize(pixels); pixels > 7 && !fits(font); font.setPixelSize(--pixels)) {
    }
    return font;
}

// The frames' right edges stand at 697 pixels of a client area 700 wide.
constexpr int gapOnTheRight = 3;

// "16,03": the window unit's pixel sizes as the tooltips write them.
QString unitsText(double units)
{
    return QLocale(QLocale::French, QLocale::France).toString(units, 'g', 4);
}

QString pixelInUnits()
{
    return QStringLiteral("un pixel vaut %1 unités en largeur, %2 en hauteur")
        .arg(unitsText(window_unit::perPixelAcross), unitsText(window_unit::perPixelDown));
}

QLabel* addLabel(QWidget* parent, const char* caption, QRect where)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setGeometry(where);
    label->setWordWrap(where.height() > 20);  // only the two-line label wraps
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* addField(QWidget* parent, const std::string& text, QRect where)
{
    auto* field = new QLineEdit(QString::fromStdString(text), parent);
    field->setGeometry(where);
    return field;
}

}  // namespace

// Positions in pixels, relative to each control's container.
ParameterFields::ParameterFields(QWidget* clientArea)
    : scalesBox(new QGroupBox(QStringLiteral("Echelles"), clientArea)),
      depthLabel(addLabel(scalesBox, field_label::depth, {8, 24, 105, 17})),
      depthField(addField(scalesBox, defaultFieldTexts.depth, {16, 40, 89, 19})),
      scaleLabel(addLabel(scalesBox, field_label::scale, {8, 64, 105, 25})),
      scaleField(addField(scalesBox, defaultFieldTexts.scale, {16, 80, 89, 19})),
      fileSizeBox(new QGroupBox(QStringLiteral("Taille fichier"), clientArea)),
      stepLabel(addLabel(fileSizeBox, field_label::step, {8, 24, 65, 17})),
      stepField(addField(fileSizeBox, defaultFieldTexts.step, {16, 40, 89, 19}))
{
    scalesBox->setGeometry(576, 8, 121, 113);
    fileSizeBox->setGeometry(576, 128, 121, 73);
    for (QGroupBox* frame : {scalesBox, fileSizeBox})
        frame->setAutoFillBackground(true);
    const QFont fitting =
        fittingFont(clientArea->font(), {scalesBox, fileSizeBox, depthLabel, scaleLabel, stepLabel});
    scalesBox->setFont(fitting);
    fileSizeBox->setFont(fitting);

    depthField->setToolTip(QStringLiteral("Profondeur maximale du relief en mètres : le blanc la prend entière, "
                                          "le noir reste à 0, chaque gris en proportion."));
    scaleField->setToolTip(QStringLiteral("Largeur en mètres d'une unité de fenêtre, la même en hauteur : %1.")
                               .arg(pixelInUnits()));
    stepField->setToolTip(QStringLiteral("Pas de la grille en unités de fenêtre, en largeur comme en hauteur : %1.")
                              .arg(pixelInUnits()));

    QWidget::setTabOrder(depthField, scaleField);
    QWidget::setTabOrder(scaleField, stepField);
}

void ParameterFields::standAgainstRightSide(int clientWidth)
{
    for (QGroupBox* frame : {scalesBox, fileSizeBox})
        frame->move(clientWidth - gapOnTheRight - frame->width(), frame->y());
}

FieldTexts ParameterFields::texts() const
{
    return {depthField->text().toStdString(), scaleField->text().toStdString(), stepField->text().toStdString()};
}
