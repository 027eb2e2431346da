// The options dialog of the meshes: its defaults, the base following the
// depth until edited, its memory of the choices, numbers typed with a point
// or a comma in any locale, refused texts, the summary line, and the fields
// of each placement shown while it is chosen.

#include "app/format_options_dialog.h"
#include "export/standard_formats.h"
#include "platform/window_unit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <clocale>
#include <functional>

namespace {

constexpr const char* baseLabel = "Épaisseur du socle en m";
constexpr const char* budgetLabel = "Nombre maxi de triangles du fichier (0 = tous)";
constexpr const char* errorLabel = "Écart maxi en mm (0 = sans limite)";

// The field of that label; of two, one per placement, the one shown.
QLineEdit& field(QDialog& dialog, const char* label)
{
    QLineEdit* found = nullptr;
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == QString::fromUtf8(label) && (!found || l->isVisibleTo(&dialog)))
            found = qobject_cast<QLineEdit*>(l->buddy());
    if (!found)
        throw std::runtime_error(label);
    return *found;
}

QPushButton& okButton(QDialog& dialog)
{
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == "OK")
            return *b;
    throw std::runtime_error("OK");
}

// The last label of the dialog: the summary under the fields.
std::string summary(QDialog& dialog)
{
    return dialog.findChildren<QLabel*>().last()->text().toStdString();
}

// Replaces the field's text as a user does: select all, then type.
void type(QDialog& dialog, const char* label, const char* typed)
{
    QLineEdit& edit = field(dialog, label);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, QString::fromUtf8(typed));
}

// The red frame of a refused field, as drawn.
bool framedInRed(QLineEdit& edit)
{
    const QColor edge = edit.grab().toImage().pixelColor(0, edit.height() / 2);
    return edge.red() > 150 && edge.green() < 80 && edge.blue() < 80;
}

QComboBox& placementList(QDialog& dialog)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == "Placement")
            return *qobject_cast<QComboBox*>(l->buddy());
    throw std::runtime_error("Placement");
}

QCheckBox& box(QDialog& dialog, const char* text)
{
    for (QCheckBox* b : dialog.findChildren<QCheckBox*>())
        if (b->text() == QString::fromUtf8(text))
            return *b;
    throw std::runtime_error(text);
}

// Answers the dialog of a job once it shows: `edit` may change its fields,
// then a click on OK; a dialog still open after it is cancelled.
std::optional<FormatOptions> answer(QtFormatOptionsDialog& dialog, const ExportJob& job,
                                    const std::function<void(QDialog&)>& edit)
{
    QTimer::singleShot(0, [&edit] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                edit(*d);
                QTest::mouseClick(&okButton(*d), Qt::LeftButton);
                if (d->isVisible())
                    d->reject();
            }
    });
    return dialog.ask(*formatRegistry().find("stl"), job);
}

// The same in the VRML files' frame, chosen first as a user does.
std::optional<FormatOptions> answer(QtFormatOptionsDialog& dialog, double depth,
                                    const std::function<void(QDialog&)>& edit,
                                    Selection selection = {})
{
    const ExportJob job{{0.001, depth, 50}, selection, std::make_shared<const Picture>()};
    return answer(dialog, job, [&edit](QDialog& d) {
        placementList(d).setCurrentIndex(1);  // "Repère des fichiers VRML"
        edit(d);
    });
}

TEST(OptionsDialog, DefaultsFollowTheDepthUntilEditedAndAreRemembered)
{
    QtFormatOptionsDialog dialog;
    QString shownBase;
    auto first = answer(dialog, 0.5, [&](QDialog& d) {
        shownBase = field(d, baseLabel).text();
        // Each field's tooltip names its unit in plain words.
        EXPECT_TRUE(field(d, baseLabel).toolTip().contains(QString::fromUtf8("en mètres")));
        EXPECT_TRUE(field(d, budgetLabel).toolTip().startsWith("Nombre maxi de triangles"));
        EXPECT_TRUE(field(d, errorLabel).toolTip().contains(QString::fromUtf8("en millimètres")));
    });
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->solid);
    EXPECT_EQ(first->base, 0.05);
    EXPECT_EQ(first->maxTriangles, 0u);
    EXPECT_EQ(shownBase, "0,05");  // the French decimal comma

    auto second = answer(dialog, 0.3, [](QDialog& d) {
        d.findChild<QCheckBox*>()->setChecked(false);
        type(d, budgetLabel, "5000");
    });
    EXPECT_EQ(second->base, 0.03);  // still a tenth of the depth
    EXPECT_FALSE(second->solid);

    auto third = answer(dialog, 0.3, [](QDialog& d) { type(d, baseLabel, "0.2"); });
    auto fourth = answer(dialog, 0.8, [](QDialog&) {});
    EXPECT_EQ(third->base, 0.2);
    EXPECT_EQ(fourth->base, 0.2);  // edited once: kept whatever the depth
    EXPECT_FALSE(fourth->solid);
    EXPECT_EQ(fourth->maxTriangles, 5000u);
}

struct TypedNumber {
    const char* label;
    const char* typed;
    std::optional<double> value;  // none: refused
};

const TypedNumber typedNumbers[] = {
    {baseLabel, "0.02", 0.02},
    {baseLabel, "0,02", 0.02},
    {baseLabel, " 0,02 ", 0.02},
    {baseLabel, ",5", 0.5},
    {baseLabel, "2,5e-2", 0.025},
    {baseLabel, "1 000,5", 1000.5},
    {baseLabel, "0,0,2", std::nullopt},
    {baseLabel, "0.02 m", std::nullopt},
    {baseLabel, "abc", std::nullopt},
    {baseLabel, "", std::nullopt},
    {baseLabel, "-0,02", std::nullopt},
    {baseLabel, "1e999", std::nullopt},
    {budgetLabel, "200 000", 200000},
    {budgetLabel, "2,5", std::nullopt},  // a count is whole
    {budgetLabel, "20 00", std::nullopt},
    {errorLabel, "0,05", 0.05},
};

double typedValue(const FormatOptions& options, const char* label)
{
    return label == baseLabel ? options.base : label == budgetLabel ? double(options.maxTriangles) : options.maxError;
}

void expectTypedNumbersRead()
{
    for (const TypedNumber& row : typedNumbers) {
        SCOPED_TRACE(std::string(row.label) + " <- \"" + row.typed + "\"");
        QtFormatOptionsDialog dialog;
        bool okEnabled = false, red = false;
        const auto chosen = answer(
            dialog, 0.5,
            [&](QDialog& d) {
                type(d, row.label, row.typed);
                okEnabled = okButton(d).isEnabled();
                red = framedInRed(field(d, row.label));
            },
            {0, 0, 1000, 500});
        EXPECT_EQ(okEnabled, row.value.has_value());
        EXPECT_EQ(red, !row.value.has_value());
        EXPECT_EQ(chosen.has_value(), row.value.has_value());
        if (chosen && row.value) {
            EXPECT_EQ(typedValue(*chosen, row.label), *row.value);
        }
    }
}

// Runs the table under a C library locale and Qt's default locale, then
// puts both back.
void expectTypedNumbersReadUnder(const char* systemLocale, const QLocale& qtLocale)
{
    const std::string system = std::setlocale(LC_ALL, nullptr);
    const QLocale qt;
    ASSERT_TRUE(std::setlocale(LC_ALL, systemLocale));
    QLocale::setDefault(qtLocale);
    expectTypedNumbersRead();
    std::setlocale(LC_ALL, system.c_str());
    QLocale::setDefault(qt);
}

TEST(OptionsDialog, TakesThePointAndTheCommaAndRefusesOtherTextsInAFrenchLocale)
{
    expectTypedNumbersReadUnder("fr_FR.UTF-8", QLocale(QLocale::French, QLocale::France));
}

TEST(OptionsDialog, TakesThePointAndTheCommaAndRefusesOtherTextsInTheCLocale)
{
    expectTypedNumbersReadUnder("C", QLocale::c());
}

// A 20 x 10 grid (1000 x 500 units at a step of 50): 400 surface triangles,
// and 6 per outline cell side for the walls and back (180); an STL holds
// 84 bytes and 50 per triangle.
TEST(OptionsDialog, SummaryCountsTheWholeFileAsTheFieldsChange)
{
    ASSERT_EQ(walkGridSize({0.001, 0.5, 50}, {0, 0, 1000, 500}).cells(), 200u);
    std::vector<std::string> lines;
    QtFormatOptionsDialog dialog;
    answer(
        dialog, 0.5,
        [&](QDialog& d) {
            lines.push_back(summary(d));
            type(d, budgetLabel, "300");
            lines.push_back(summary(d));
            type(d, budgetLabel, "100");  // the outline, walls and back need 58 + 180
            lines.push_back(summary(d));
            type(d, budgetLabel, "0");
            type(d, baseLabel, "abc");
            lines.push_back(summary(d));
            type(d, baseLabel, "0,1");
            QTest::keyClick(d.findChild<QCheckBox*>(), Qt::Key_Space);
            lines.push_back(summary(d));
        },
        {0, 0, 1000, 500});
    const std::vector<std::string> expected{
        "580 triangles dans le fichier · 29,1 ko",
        "au plus 300 triangles dans le fichier · 15,1 ko",
        "Nombre maxi de triangles trop petit : il en faut au moins 238.",
        "Les options ne sont pas valables : « Épaisseur du socle en m » : ce n'est pas un nombre.",
        "400 triangles dans le fichier · 20,1 ko",
    };
    EXPECT_EQ(lines, expected);
}

// "Pièce posée" first, its sizes from the fields (40 pixels at 15 units of
// 0.001 m: 600 mm), the VRML frame's fields hidden until it is chosen, and
// the part's size in the summary.
TEST(OptionsDialog, ThePartsFieldsShowInItsPlacementWithSizesFromTheFields)
{
    QtFormatOptionsDialog dialog;
    const Selection wholePicture{0, 0, float(40 * window_unit::perPixelAcross), 30 * 15};
    const ExportJob job{{0.001, 0.5, 50}, wholePicture,
                        std::make_shared<const Picture>(40, 30, std::vector<std::uint32_t>(1200))};
    const char* const width = "Largeur de la pièce en mm";
    std::vector<std::string> lines;
    auto chosen = answer(dialog, job, [&](QDialog& d) {
        EXPECT_EQ(placementList(d).currentText(), "Pièce posée");
        EXPECT_EQ(field(d, width).text(), "600");
        EXPECT_EQ(field(d, "Hauteur du relief en mm").text(), "500");
        EXPECT_EQ(field(d, "Épaisseur du socle en mm").text(), "50");
        EXPECT_EQ(field(d, "Un point tous les N pixels").text(), "1");
        EXPECT_TRUE(field(d, width).isVisibleTo(&d));
        EXPECT_FALSE(field(d, baseLabel).isVisibleTo(&d));
        lines.push_back(summary(d));
        placementList(d).setCurrentIndex(1);
        EXPECT_FALSE(field(d, width).isVisibleTo(&d));
        EXPECT_TRUE(field(d, baseLabel).isVisibleTo(&d));
        placementList(d).setCurrentIndex(0);
        type(d, width, "150");
        type(d, "Hauteur du relief en mm", "10");
        type(d, "Épaisseur du socle en mm", "2");
        QTest::keyClick(&box(d, "Clair = creux"), Qt::Key_Space);
        lines.push_back(summary(d));
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->placement, Placement::Part);
    EXPECT_EQ(chosen->widthMm, 150);
    EXPECT_EQ(chosen->reliefMm, 10);
    EXPECT_EQ(chosen->baseMm, 2);
    EXPECT_TRUE(chosen->invert);
    EXPECT_EQ(chosen->partMaxTriangles, defaultPartTriangles);
    EXPECT_EQ(chosen->partMaxError, defaultPartErrorMm);
    // 40 x 30 cells: 2 400 triangles, and 6 per outline cell side for the walls and back.
    const std::vector<std::string> expected{"Pièce : 600 × 450 × 550 mm · 2\u202F820 triangles au plus · 141 ko",
                                            "Pièce : 150 × 112,5 × 12 mm · 2\u202F820 triangles au plus · 141 ko"};
    EXPECT_EQ(lines, expected);
}

}  // namespace
