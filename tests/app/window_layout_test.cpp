// The window's layout as it holds: a new picture and the selection, the
// status bar's sections, its size across scroll bars, where "Aperçu 3D"
// opens, one size estimate everywhere, the fields' units.

#include "window_fixture.h"

#include "app/export_progress_bar.h"
#include "app/preview_feed.h"
#include "app/preview_placement.h"
#include "app/status_field.h"
#include "app/status_line.h"
#include "relief/export_messages.h"

#include <QGroupBox>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace {

using WindowLayout = WindowTest;

QImage grey(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(90, 90, 90));
    return image;
}

// One picture after another, from the 312 x 333 px square at the origin.
TEST_F(WindowLayout, NewPictureKeepsASelectionInsideItElseSelectsItAll)
{
    const struct {
        QSize picture;
        float right, bottom;
        double zoom;
        bool said;
    } steps[] = {
        {{400, 400}, 5000, 5000, 1, false},                // holds the square
        {{2000, 1000}, 5000, 5000, 698.0 / 2000, false},   // larger than the view: fitted
        {{300, 400}, float(300 * window_unit::perPixelAcross), 400 * 15, 1, true},  // the square reaches past it
        {{20, 15}, float(20 * window_unit::perPixelAcross), 15 * 15, 1, true},      // small, after a large selection
    };
    for (const auto& s : steps) {
        form.statusBar()->clearMessage();
        importPicture(grey(s.picture));
        const EdgeLines e = form.selection().edges();
        EXPECT_EQ((std::vector<float>{e.leftEdge, e.topEdge, e.rightEdge, e.bottomEdge}),
                  (std::vector<float>{0, 0, s.right, s.bottom}))
            << s.picture.width();
        EXPECT_DOUBLE_EQ(form.canvas().zoom(), s.zoom);
        EXPECT_TRUE(form.horizontalScrollBar()->isHidden() && form.verticalScrollBar()->isHidden());
        EXPECT_EQ(form.statusLine().sections().front()->text(),
                  s.said ? QString::fromUtf8("Sélection ramenée à toute l'image") : QString());
    }
}

// The status bar's visible sections, the export's bar among them, side by
// side within it.
void expectSideBySide(QStatusBar& bar)
{
    QApplication::processEvents();  // the sections' new texts
    QApplication::processEvents();  // the bar laid out anew
    ASSERT_EQ(bar.width(), 700);
    std::vector<QRect> shown;
    for (const QWidget* section : bar.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (section->isVisible())
            shown.push_back(section->geometry());
    std::sort(shown.begin(), shown.end(), [](QRect a, QRect b) { return a.left() < b.left(); });
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_TRUE(bar.rect().contains(shown[i]));
        EXPECT_TRUE(i == 0 || shown[i].left() > shown[i - 1].right());
    }
}

TEST_F(WindowLayout, StatusSectionsShareTheBarAt700PixelsAndTheirTooltipsSayAll)
{
    const struct {
        QSize picture;
        FieldTexts fields;
        bool someCut;
    } cases[] = {
        {{400, 400}, defaultFieldTexts, false},
        {{12345, 67}, {"0.5", "0.00123456789", "0.5"}, true},
    };
    for (const auto& c : cases) {
        importPicture(grey(c.picture));
        form.fields.scaleField->setText(QString::fromStdString(c.fields.scale));
        form.fields.stepField->setText(QString::fromStdString(c.fields.step));
        screenMouse(QEvent::MouseMove, QPointF(150, 40));
        expectSideBySide(*form.statusBar());
        bool cut = false;
        for (const StatusField* section : form.statusLine().sections()) {
            const QString shown = section->shownText();
            cut = cut || shown != section->text();
            EXPECT_TRUE(shown == section->text() || shown.endsWith(QString::fromUtf8("…")));
            EXPECT_TRUE(section->toolTip().contains(section->text())) << section->text().toStdString();
        }
        EXPECT_EQ(cut, c.someCut);
    }
    // While an export runs, its bar takes the room of all but the file size.
    saveDialog.answer = path("long.asc");
    form.fields.stepField->setText("10");  // two million cells: a long walk
    QTimer watch;
    watch.callOnTimeout([&] {
        if (!form.exportProgress().isVisible())
            return;
        watch.stop();
        expectSideBySide(*form.statusBar());
        form.scanWindow().close();
    });
    watch.start(0);
    form.exportAction("ascii")->trigger();
    EXPECT_FALSE(watch.isActive());
}

TEST_F(WindowLayout, ScrollBarsNeverResizeTheWindowAndTheFramesStayOnTheRight)
{
    importPicture(grey({2000, 1000}));
    const QSize start = form.size();
    const auto framesFlushRight = [this] {
        return form.fields.scalesBox->geometry().right() == form.canvas().width() - 4 &&
               form.fields.fileSizeBox->geometry().right() == form.canvas().width() - 4;
    };
    const struct {
        QAction* action;
        bool bars;
    } steps[] = {{form.actualSize, true}, {form.zoomToFit, false}, {form.zoomIn, true},
                 {form.zoomToFit, false}, {form.selectWholePicture, false}};
    for (const auto& s : steps) {
        s.action->trigger();
        EXPECT_EQ(form.size(), start) << s.action->text().toStdString();
        EXPECT_EQ(form.horizontalScrollBar()->isVisible(), s.bars);
        EXPECT_TRUE(framesFlushRight());
    }
    // Fitted and wholly selected, the right and bottom edges are grabbed from
    // beyond the picture too, inside the view.
    const QPointF corner = form.canvas().toScreen(form.selection().rightEdge.fromX, form.selection().bottomEdge.fromY);
    ASSERT_LT(corner.x() + 1, form.canvas().width());
    screenMouse(QEvent::MouseMove, QPointF(corner.x() + 1, corner.y() / 2));
    EXPECT_EQ(form.canvas().cursor().shape(), Qt::SizeHorCursor);
    screenMouse(QEvent::MouseMove, QPointF(corner.x() / 2, corner.y() + 1));
    EXPECT_EQ(form.canvas().cursor().shape(), Qt::SizeVerCursor);

    // Made larger by the user, the picture view grows with the window.
    form.resize(start + QSize(300, 100));
    QApplication::processEvents();
    EXPECT_EQ(form.canvas().size(), QSize(1000, 648));
    EXPECT_TRUE(framesFlushRight());
}

TEST(PreviewPlacement, BesideTheMainWindowElseOverItsPictureOnA1366By768Screen)
{
    const QRect screen(0, 0, 1366, 728);  // a task bar of 40 pixels below
    const struct {
        QRect main;
        QRect preview;
    } cases[] = {
        {{332, 48, 702, 632}, {0, 100, 900, 600}},    // centred: over the picture, short of the fields
        {{0, 0, 702, 632}, {702, 0, 664, 600}},       // at the left: beside, narrowed to the room
        {{664, 96, 702, 632}, {0, 96, 664, 600}},     // at the right: beside on the left
        {{0, 300, 702, 632}, {702, 128, 664, 600}},   // low: beside, raised onto the screen
        {{332, 200, 702, 632}, {0, 252, 900, 476}},   // centred and low: under the menu, shortened
        {{-100, 0, 702, 632}, {602, 0, 764, 600}},    // partly off the screen at the left
    };
    for (const auto& c : cases) {
        const MainWindowArea main{c.main, c.main.top() + 52, c.main.left() + 577};
        const QRect placed = previewPlacement(screen, main, {900, 600}, {480, 360});
        EXPECT_EQ(placed, c.preview) << c.main.left() << ", " << c.main.top();
        EXPECT_TRUE(screen.contains(placed));
        EXPECT_FALSE(placed.intersects(QRect(c.main.topLeft(), QSize(c.main.width(), 52))));
    }
}

TEST_F(WindowLayout, PreviewOpensOnTheScreenClearOfTheMenuAndReopensWhereLeft)
{
    form.previewAction->trigger();
    QWidget* preview = form.previewWindow();
    ASSERT_NE(preview, nullptr);
    const QRect main = form.frameGeometry();
    const QRect titleAndMenu(main.topLeft(), QPoint(main.right(), form.canvas().mapToGlobal(QPoint()).y() - 1));
    EXPECT_TRUE(form.screen()->availableGeometry().contains(preview->frameGeometry()));
    EXPECT_FALSE(preview->frameGeometry().intersects(titleAndMenu));
    preview->move(40, 50);
    preview->resize(500, 400);
    const QRect left = preview->geometry();
    preview->close();
    form.previewAction->trigger();
    EXPECT_EQ(preview->geometry(), left);
}

// The figure the status bar and the preview give for a format's file, with
// the options its dialog offers, is the one its refusal for want of room and
// its question about a very large file give. The preview says which frame
// its sizes are in.
TEST(SizeEstimates, StatusPreviewRefusalAndQuestionGiveOneFigureThePreviewInItsFrame)
{
    const auto picture = std::make_shared<const Picture>(uniformPicture(64, 64, 0x80));
    FormatOptions placedPart;
    placedPart.solid = true;
    placedPart.widthMm = 150, placedPart.reliefMm = 10, placedPart.baseMm = 2;
    const struct {
        const char* id;
        FormatOptions options;
        EdgeLines lines;
        const char* step;
        const char* part = "";  // the preview's line for the placed part
    } cases[] = {
        {"vrml1", inVrmlFrame({}), {1e6f, 0, 1e6f, 0}, "10"},  // 10^10 cells: over a gigabyte
        {"stl", inVrmlFrame({true, 0.05, 20000, 0}), {5000, 0, 5000, 0}, "10"},  // the budget makes the file
        {"stl", inVrmlFrame({false, 0, 0, 0}), {5000, 0, 5000, 0}, "10"},
        {"obj", inVrmlFrame({true, 0.05, 0, 0}), {5000, 0, 5000, 0}, "10"},
        // The picture's 64 x 64 pixels, 150 mm wide, 10 mm of relief on 2 of base.
        {"obj", placedPart, {5000, 0, 5000, 0}, "10", "pièce posée : 150 x 150 x 12 mm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        FakeDesktop d;
        d.options.chosen = c.options;
        const ExportRequest request{{"0.5", "0.001", c.step}, c.lines, picture};
        const SelectionSummary summary = summarizeSelection(request, d.options);
        const auto& size = *std::find_if(summary.sizes.begin(), summary.sizes.end(),
                                         [&](const SelectionSummary::FormatSize& s) { return s.id == c.id; });
        ASSERT_TRUE(size.size);
        const std::string figure = estimateText(size);
        const QString previewLine = QString::fromStdString(size.caption + " : " + figure);
        const PreviewFacts facts = previewContent(summary).facts;
        EXPECT_TRUE(facts.fileSizes.contains(previewLine));
        EXPECT_TRUE(facts.size.endsWith(QStringLiteral(" m (repère des fichiers VRML)"))) << facts.size.toStdString();
        EXPECT_EQ(facts.partSize.toStdString(), c.part);

        d.target.free = 1;
        d.run(format(c.id), request);
        ASSERT_EQ(d.messages.warnings.size(), 1u);
        const char* said = size.size->typical < size.size->upperBound ? "fera environ " : "peut atteindre ";
        EXPECT_NE(d.messages.warnings[0].find(said + figure), std::string::npos) << d.messages.warnings[0];
        if (size.size->typical > largeFileBytes) {
            FakeDesktop asked;
            asked.messages.answer = false;
            asked.run(format(c.id), request);
            ASSERT_EQ(asked.messages.questions.size(), 1u);
            EXPECT_NE(asked.messages.questions[0].find("environ " + figure), std::string::npos);
        }
    }
}

TEST_F(WindowLayout, FieldsSayTheirUnitInPlainWordsInTheirTooltips)
{
    const std::string pixel = ": un pixel vaut 16,03 unités en largeur, 15 en hauteur.";
    const std::pair<QLineEdit*, std::string> tips[] = {
        {form.fields.depthField, "Profondeur maximale du relief en mètres : le blanc la prend entière"},
        {form.fields.scaleField, "Largeur en mètres d'une unité de fenêtre, la même en hauteur " + pixel},
        {form.fields.stepField, "Pas de la grille en unités de fenêtre, en largeur comme en hauteur " + pixel},
    };
    for (const auto& [field, tip] : tips)
        EXPECT_TRUE(field->toolTip().startsWith(QString::fromStdString(tip))) << field->toolTip().toStdString();
}

}  // namespace
