// The options dialog of the meshes: its defaults, the French decimal comma,
// the base following the depth until edited, and its memory of the choices.

#include "app/format_options_dialog.h"
#include "export/standard_formats.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Answers the dialog once it shows: `edit` may change its fields, then OK.
std::optional<FormatOptions> answer(QtFormatOptionsDialog& dialog, double depth,
                                    const std::function<void(QDialog&)>& edit)
{
    QTimer::singleShot(0, [&edit] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                edit(*d);
                d->accept();
            }
    });
    const ExportJob job{{0.001, depth, 50}, {}, std::make_shared<const Picture>()};
    return dialog.ask(*formatRegistry().find("stl"), job);
}

TEST(OptionsDialog, DefaultsFollowTheDepthUntilEditedAndAreRemembered)
{
    QtFormatOptionsDialog dialog;
    QString shownBase;
    auto first = answer(dialog, 0.5, [&](QDialog& d) {
        shownBase = d.findChild<QDoubleSpinBox*>()->text();
    });
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->solid);
    EXPECT_EQ(first->base, 0.05);
    EXPECT_EQ(first->maxTriangles, 0u);
    EXPECT_EQ(shownBase, "0,050000");  // the French decimal comma

    auto second = answer(dialog, 0.3, [](QDialog& d) {
        d.findChild<QCheckBox*>()->setChecked(false);
        d.findChild<QSpinBox*>()->setValue(5000);
    });
    EXPECT_EQ(second->base, 0.03);  // still a tenth of the depth
    EXPECT_FALSE(second->solid);

    auto third = answer(dialog, 0.3, [](QDialog& d) { d.findChild<QDoubleSpinBox*>()->setValue(0.2); });
    auto fourth = answer(dialog, 0.8, [](QDialog&) {});
    EXPECT_EQ(third->base, 0.2);
    EXPECT_EQ(fourth->base, 0.2);  // edited once: kept whatever the depth
    EXPECT_FALSE(fourth->solid);
    EXPECT_EQ(fourth->maxTriangles, 5000u);
}

}  // namespace
