// The windows as they start.

#include "window_fixture.h"

#include "platform/dialog_filter.h"
#include "export/standard_formats.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {

using MainWindow = WindowTest;

TEST_F(MainWindow, StartsWithItsCaptionLayoutAndDefaults)
{
    EXPECT_EQ(form.windowTitle(), "Orvanel");
    EXPECT_EQ(form.canvas().size(), QSize(700, 548));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());

    // Each control's place, and its caption or text.
    const ParameterFields& f = form.fields;
    const std::tuple<QWidget*, QRect, const char*> layout[] = {
        {f.scalesBox, {576, 8, 121, 113}, "Echelles"},   {f.depthLabel, {8, 24, 105, 17}, "Profondeur maxi en m"},
        {f.depthField, {16, 40, 89, 19}, "0.5"},         {f.scaleLabel, {8, 64, 105, 25}, "Largeur en m/pixel"},
        {f.scaleField, {16, 80, 89, 19}, "0.001 "},      {f.fileSizeBox, {576, 128, 121, 73}, "Taille fichier"},
        {f.stepLabel, {8, 24, 65, 17}, "Pas en pixel"},  {f.stepField, {16, 40, 89, 19}, "50"},
    };
    for (const auto& [control, where, text] : layout) {
        EXPECT_EQ(control->geometry(), where) << text;
        EXPECT_EQ(control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString(), text);
    }
    EXPECT_EQ(f.depthLabel->parent(), f.scalesBox);
    EXPECT_EQ(f.stepField->parent(), f.fileSizeBox);
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList t;
    for (QAction* action : actions)
        t << action->text();
    return t;
}

TEST_F(MainWindow, MenuHasTheImportCommandAndTheExportMenu)
{
    // The preview command and the "Affichage" menu are the only additions.
    const QList<QAction*> top = form.menuBar()->actions();
    EXPECT_EQ(top, (QList<QAction*>{form.importAction, form.exportMenu->menuAction(), form.previewAction,
                                    form.viewMenu->menuAction()}));
    EXPECT_EQ(texts(top), (QStringList{"Importer une image", "Export", "Aperçu 3D", "Affichage"}));
    EXPECT_TRUE(form.importAction->menu() == nullptr && form.previewAction->menu() == nullptr);
    // The three first items, then a separator and the one-piece meshes.
    const QList<QAction*> items = form.exportMenu->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items.mid(0, 3), (QList<QAction*>{form.exportAction("vrml1"), form.exportAction("vrml2"),
                                                form.exportAction("ascii")}));
    EXPECT_EQ(texts(items), (QStringList{"VRML pour SW", "VRML pour CATIA", "ASCII pour CATIA", "",
                                         "STL pour l'usinage et l'impression 3D", "OBJ (maillage unique)"}));
    EXPECT_TRUE(items[3]->isSeparator());
    for (QAction* item : items)
        EXPECT_TRUE(item->shortcut().isEmpty());
}

// The standard formats after one listed before the original three, each told
// apart by the filter its Save dialog asks for; the registry is restored after.
struct FormatListedFirst {
    const FormatRegistry standard = formatRegistry();
    FormatListedFirst()
    {
        FormatEntry first = standard.all().front();
        first.id = "premier";
        first.menuCaption = "Premier format";
        std::vector<FormatEntry> entries{first};
        entries.insert(entries.end(), standard.all().begin(), standard.all().end());
        FormatRegistry& registry = formatRegistry() = FormatRegistry();
        for (FormatEntry& entry : entries) {
            entry.fileFilter = entry.id;
            entry.options.clear();
            registry.add(entry);
        }
    }
    ~FormatListedFirst() { formatRegistry() = standard; }
};

struct ExportMenu : FormatListedFirst, WindowTest {};

TEST_F(ExportMenu, EachItemExportsTheFormatWhoseCaptionItShows)
{
    saveDialog.answer.reset();
    std::size_t items = 0;
    for (QAction* item : form.exportMenu->actions()) {
        if (item->isSeparator())
            continue;
        item->trigger();
        ASSERT_EQ(saveDialog.filters.size(), ++items) << item->text().toStdString();
        const FormatEntry* exported = formatRegistry().find(saveDialog.filters.back());
        ASSERT_NE(exported, nullptr);
        EXPECT_EQ(item->text().toStdString(), exported->menuCaption);
    }
    EXPECT_EQ(items, formatRegistry().all().size());
}

TEST_F(MainWindow, SelectionStartsAsTheSquareAtTheOrigin)
{
    const SelectionRectangle& r = form.selection();
    const auto ends = [](const EdgeLine& l) { return std::vector<float>{l.fromX, l.fromY, l.toX, l.toY}; };
    EXPECT_EQ(ends(r.leftEdge), (std::vector<float>{0, 5020, 0, 0}));
    EXPECT_EQ(ends(r.topEdge), (std::vector<float>{5000, 0, 0, 0}));
    EXPECT_EQ(ends(r.bottomEdge), (std::vector<float>{0, 5000, 5000, 5000}));
    EXPECT_EQ(ends(r.rightEdge), (std::vector<float>{5000, 0, 5000, 5020}));
}

TEST_F(MainWindow, ScanWindowIsAFixedToolWindowCreatedHidden)
{
    EXPECT_FALSE(form.hasScanWindow());
    ScanWindow& scan = form.scanWindow();
    EXPECT_FALSE(scan.isVisible());
    EXPECT_EQ(scan.windowTitle(), "Scan");
    EXPECT_EQ(scan.size(), QSize(615, 510));
    EXPECT_EQ(scan.minimumSize(), scan.maximumSize());
    EXPECT_EQ(scan.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

TEST(DialogFilter, BarSeparatedPairsBecomeTheDialogsFilterForm)
{
    EXPECT_EQ(toDialogFilter("Fichier nuage de points Ascii (*.asc)|*.asc|"), "Fichier nuage de points Ascii (*.asc)");
    EXPECT_EQ(toDialogFilter("Fichier virtual reality ml (*.wrl)|*.wrl|"), "Fichier virtual reality ml (*.wrl)");
    EXPECT_EQ(toDialogFilter("Images|*.png|Tous les fichiers (*.*)|*.*"), "Images (*.png);;Tous les fichiers (*.*)");
    EXPECT_EQ(toDialogFilter(""), "");
}

}  // namespace
