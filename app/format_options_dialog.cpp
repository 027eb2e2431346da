#include "format_options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include <climits>

namespace {

QDoubleSpinBox* metresField(double value)
{
    auto* field = new QDoubleSpinBox;
    field->setLocale(QLocale(QLocale::French, QLocale::France));  // the decimal comma
    field->setDecimals(6);
    field->setRange(0, 1e6);
    field->setSingleStep(0.001);
    field->setValue(value);
    return field;
}

}  // namespace

std::optional<FormatOptions> QtFormatOptionsDialog::ask(const FormatEntry& format, const ExportJob& job)
{
    const bool mesh = format.options == OptionsKind::Mesh;
    Remembered& remembered = mesh ? mesh_ : surface_;
    if (!remembered.set) {
        remembered.options.solid = mesh;
        remembered.set = true;
    }
    const double followingBase = job.parameters.maxDepth / 10;
    FormatOptions options = remembered.options;
    if (!remembered.baseEdited)
        options.base = followingBase;

    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromUtf8(format.menuCaption.data(), qsizetype(format.menuCaption.size())));
    auto* form = new QFormLayout(&dialog);
    auto* solid = new QCheckBox(QStringLiteral("Solide fermé"));
    solid->setChecked(options.solid);
    form->addRow(solid);
    QDoubleSpinBox* base = metresField(options.base);
    form->addRow(QStringLiteral("Épaisseur du socle en m"), base);
    const double shownBase = base->value();  // rounded to the field's decimals
    QSpinBox* triangles = nullptr;
    QDoubleSpinBox* tolerance = nullptr;
    if (mesh) {
        triangles = new QSpinBox;
        triangles->setRange(0, INT_MAX);
        triangles->setValue(int(std::min<std::uint64_t>(options.maxTriangles, INT_MAX)));
        form->addRow(QStringLiteral("Nombre maxi de triangles (0 = tous)"), triangles);
    } else {
        tolerance = metresField(options.tolerance);
        form->addRow(QStringLiteral("Tolérance en m (0 = passe par tous les points)"), tolerance);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    options.solid = solid->isChecked();
    if (base->value() != shownBase) {
        remembered.baseEdited = true;
        options.base = base->value();
    }
    if (triangles)
        options.maxTriangles = std::uint64_t(triangles->value());
    if (tolerance)
        options.tolerance = tolerance->value();
    remembered.options = options;
    return options;
}
