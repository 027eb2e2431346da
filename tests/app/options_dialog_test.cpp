// The options dialog of the meshes: its defaults, the base following the
// depth until edited, its memory of the choices, numbers typed with a point
// or a comma in any locale, refused texts, and the summary line.

#include "app/format_options_dialog.h"
#include "export/standard_formats.h"

#include <QApplication>
#include <QCheckBox>
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

QLineEdit& field(QDialog& dialog, const char* label)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == QString::fromUtf8(label))
            return *qobject_cast<QLineEdit*>(l->buddy());
    throw std::runtime_error(label);
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

// Answers the dialog once it shows: `edit` may change its fields, then a
// click on OK; a dialog still open after it is cancelled.
std::optional<FormatOptions> answer(QtFormatOptionsDialog& dialog, double depth,
                                    const std::function<void(QDialog&)>& edit,
                                    Selection selection = {})
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
    const ExportJob job{{0.001, depth, 50}, selection, std::make_shared<const Picture>()};
    return dialog.ask(*formatRegistry().find("stl"), job);
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

}  // namespace
