// The main window with today's pictures: zoom and scroll, the status line,
// the pointer's shapes, a dropped file, and the live 3D preview.

#include "window_fixture.h"

#include "app/relief_preview_window.h"
#include "export/ascii_export.h"
#include "platform/qt/picture_loader.h"
#include "support/reference_export.h"

#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

namespace {

struct WindowView : WindowTest {
    void ctrlWheel(QPointF at, int notches)
    {
        QWheelEvent event(at, form.canvas().mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&form.canvas(), &event);
    }
    QString facts() const { return form.previewWindow()->factsText->text(); }
    void expectFacts(std::initializer_list<const char*> texts) const
    {
        for (const char* text : texts)
            EXPECT_TRUE(facts().contains(QString::fromUtf8(text))) << text << " in " << facts().toStdString();
    }
};

TEST_F(WindowView, HugePictureZoomedScrolledAndSelectedToItsCornerExportsExactly)
{
    QImage huge(12000, 9000, QImage::Format_Grayscale8);
    huge.fill(0);
    for (int y = 8000; y < 9000; ++y)  // a ramp in the bottom-right corner
        for (int x = 11000; x < 12000; ++x)
            huge.scanLine(y)[x] = static_cast<uchar>((x - 11000) / 4);
    const QSize windowBefore = form.size();
    importPicture(huge, "huge.png");
    // Larger than the view: fitted, with the grab margin beyond it.
    EXPECT_NEAR(form.canvas().zoom(), 698.0 / 12000, 1e-12);
    form.actualSize->trigger();
    // The scroll bars take their room from the client area, not the window's.
    const QSize canvas = form.canvas().size();
    EXPECT_EQ(form.size(), windowBefore);
    EXPECT_EQ(canvas, QSize(700 - form.verticalScrollBar()->width(), 548 - form.horizontalScrollBar()->height()));
    EXPECT_EQ(form.horizontalScrollBar()->maximum(), 12000 + 2 - canvas.width());
    EXPECT_EQ(form.verticalScrollBar()->maximum(), 9000 + 2 - canvas.height());

    // Ctrl + wheel zooms about the pointer: the picture point under it stays.
    const QPointF pointer(350, 200);
    form.horizontalScrollBar()->setValue(4000);
    form.verticalScrollBar()->setValue(4000);
    const QPointF before = form.canvas().toWindowUnits(pointer);
    ctrlWheel(pointer, -2);
    EXPECT_EQ(form.canvas().zoom(), 1.0 / 2);
    EXPECT_NEAR(form.canvas().toWindowUnits(pointer).x(), before.x(), 2 * 16.03);
    EXPECT_NEAR(form.canvas().toWindowUnits(pointer).y(), before.y(), 2 * 15);

    // Zoomed out to the whole picture, the corner is grabbed as far on the
    // screen as at 100 %: 25 units, a pixel and a half.
    form.zoomToFit->trigger();
    const double zoom = form.canvas().zoom();
    const QPointF corner = form.canvas().toScreen(5000, 5000);
    screenDrag(corner + QPointF(1.2, 1.2), QPointF(12000, 9000) * zoom);
    // Then at 100 %, scrolled to the bottom-right, the picture's corner is
    // grabbed from the margin beyond it.
    form.actualSize->trigger();
    form.horizontalScrollBar()->setValue(form.horizontalScrollBar()->maximum());
    form.verticalScrollBar()->setValue(form.verticalScrollBar()->maximum());
    const QPointF pictureCorner(canvas.width() - 2, canvas.height() - 2);
    screenDrag(pictureCorner + QPointF(1, 1), pictureCorner);
    const EdgeLines edges = form.selection().edges();
    EXPECT_FLOAT_EQ(edges.rightEdge, float(12000 * window_unit::perPixelAcross));
    EXPECT_FLOAT_EQ(edges.bottomEdge, 9000 * 15.0f);

    form.fields.stepField->setText("3000");
    saveDialog.answer = path("huge.asc");
    form.exportAction("ascii")->trigger();
    const ExportParameters parameters{0.001, 0.5, 3000};
    const LoadedPicture picture = loadPicture(path("huge.png"));
    EXPECT_EQ(readFile("huge.asc"),
              referenceExport(asciiExport(), parameters, selectionFromLines(edges), *picture.picture));
}

TEST_F(WindowView, PointerTakesTheResizeShapeOverEdgesAndCorners)
{
    const struct {
        float x, y;
        Qt::CursorShape shape;
    } cases[] = {
        {0, 2500, Qt::SizeHorCursor},     {5000, 2500, Qt::SizeHorCursor},   {2500, 0, Qt::SizeVerCursor},
        {2500, 5000, Qt::SizeVerCursor},  {0, 0, Qt::SizeFDiagCursor},       {5000, 5000, Qt::SizeFDiagCursor},
        {5000, 0, Qt::SizeBDiagCursor},   {0, 5000, Qt::SizeBDiagCursor},    {2500, 2500, Qt::ArrowCursor},
        {5025, 2500, Qt::ArrowCursor},
    };
    for (const auto& c : cases) {
        mouse(QEvent::MouseMove, c.x, c.y);
        EXPECT_EQ(form.canvas().cursor().shape(), c.shape) << c.x << ", " << c.y;
    }
}

TEST_F(WindowView, DroppedFileIsImportedWithTransparencyOverBlack)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(qRgb(200, 10, 10));
    image.setPixel(4, 4, qRgba(255, 255, 255, 0));
    ASSERT_TRUE(image.save(dir.filePath("dropped.png")));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("dropped.png"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);

    ASSERT_EQ(form.canvas().picture().size(), QSize(8, 8));
    const QImage shown = form.canvas().grab().toImage();
    EXPECT_EQ(shown.pixel(3, 4), qRgb(200, 10, 10));
    EXPECT_EQ(shown.pixel(4, 4), qRgb(0, 0, 0));
    EXPECT_EQ(form.scanWindow().picture().size(), QSize(8, 8));
}

TEST_F(WindowView, FramesHideThePictureAndTheLinesShowOnBlack)
{
    importPicture([] {
        QImage black(700, 548, QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }());
    const QImage shown = form.canvas().grab().toImage();
    EXPECT_NE(shown.pixel(form.fields.scalesBox->geometry().center()), qRgb(0, 0, 0));
    EXPECT_NE(shown.pixel(200, 333) | shown.pixel(200, 334), qRgb(0, 0, 0));  // the bottom edge
    for (QLabel* label : {form.fields.depthLabel, form.fields.scaleLabel, form.fields.stepLabel}) {
        const QRect needed = label->fontMetrics().boundingRect(label->rect(), Qt::TextWordWrap, label->text());
        EXPECT_TRUE(label->rect().contains(needed)) << label->text().toStdString();
    }
}

// The status line and the "Aperçu 3D" window follow the drag and the fields.
TEST_F(WindowView, StatusLineAndPreviewFollowTheDragTheFieldsAndThePointer)
{
    form.previewAction->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(form.readout().startsWith(QString::fromUtf8("aucune image · 5 x 5 m · 10\u202F000 cellules · vrml1 ")));
    ASSERT_NE(form.previewWindow(), nullptr);
    EXPECT_TRUE(form.previewWindow()->isVisible());
    EXPECT_EQ(form.previewWindow()->windowTitle(), QString::fromUtf8("Aperçu 3D"));
    expectFacts({"10\u202F000 cellules", "profondeur maxi : 0,5 m", "5 x 5 x 0,5 m", "VRML pour SW : "});

    form.fields.depthField->setText("0.1x");
    QApplication::processEvents();
    // The lenient reading is told.
    expectFacts({"profondeur maxi : 0,1 m", "VRML : 0,21 m", "Profondeur maxi en m"});

    drag(5000, 2500, 10000, 2500);
    QApplication::processEvents();
    EXPECT_TRUE(form.readout().startsWith(QString::fromUtf8("aucune image · 10 x 5 m · 20\u202F000 cellules")));
    expectFacts({"20\u202F000 cellules"});
    form.fields.scaleField->setText("0.01");
    form.fields.stepField->setText("25");
    QApplication::processEvents();
    EXPECT_TRUE(form.readout().startsWith(QString::fromUtf8("aucune image · 100 x 50 m · 80\u202F000 cellules")));
    mouse(QEvent::MouseMove, 100 * window_unit::perPixelAcross, 40 * 15);
    EXPECT_EQ(form.pointerReadout(), "100, 40 px");

    // During an export the preview still follows the fields.
    saveDialog.answer = path("running.asc");
    form.fields.stepField->setText("5");
    QString duringExport;
    QTimer::singleShot(30, &form, [&] {
        form.fields.stepField->setText("100");
        QTimer::singleShot(20, &form, [&] {
            duringExport = facts();
            form.scanWindow().close();
        });
    });
    form.exportAction("ascii")->trigger();
    EXPECT_TRUE(duringExport.contains(QString::fromUtf8("5\u202F000 cellules")) ||
                duringExport.contains(QString::fromUtf8("5 000 cellules")))
        << duringExport.toStdString();
}

TEST_F(WindowView, ScanFollowsTheDotsOfALargeSelectionAndKeepsThem)
{
    importPicture(QImage(3000, 2000, QImage::Format_RGB32));
    ScanWindow& scan = form.scanWindow();
    scan.show();
    scan.dot(15 * 100, 15 * 10);
    EXPECT_EQ(scan.scrolled(), QPoint(0, 0));
    scan.dot(15 * 2000, 15 * 10);  // beyond the client area: brought into view
    const QPoint far = QPoint(2000, 10) - scan.scrolled();
    ASSERT_TRUE(scan.dots().rect().contains(far));
    EXPECT_EQ(scan.dots().pixel(far), qRgb(0, 0x80, 0));
    scan.dot(15 * 100, 15 * 11);  // back to the left: the earlier dot shows again
    EXPECT_EQ(scan.scrolled(), QPoint(0, 0));
    EXPECT_EQ(scan.dots().pixel(100, 10), qRgb(0, 0x80, 0));
    scan.hide();
}

}  // namespace
