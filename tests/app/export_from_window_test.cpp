// Whole exports run from the window's menu.

#include "window_fixture.h"
#include "app/export_progress_bar.h"

#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

using ExportFromWindow = WindowTest;

// An 8 x 8 picture; at x = 0, 50, 100 and y = 0, 50 the walk meets pixel
// columns 0, 3, 6 and rows 0, 3.
QImage smallPicture()
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(0, 0, qRgb(100, 7, 7));
    image.setPixel(3, 0, qRgb(201, 0, 0));
    image.setPixel(0, 3, qRgb(255, 255, 255));
    image.setPixel(6, 0, qRgb(60, 0, 0));
    image.setPixel(6, 3, qRgba(255, 255, 255, 0));  // transparent: reads as black
    return image;
}

// "Scan" shows the picture beside the main window and in front of it, a dot
// per cell, while the file is written; then the file's name and size in the
// status area, and the completion message.
TEST_F(ExportFromWindow, ImportDragAndAsciiExportGiveTheExactFile)
{
    importPicture(smallPicture());  // before "Scan" was ever shown; all of it selected
    screenDrag(QPointF(8, 8), pixels(100, 50));  // the bottom-right corner
    saveDialog.answer = path("relief.asc");
    bool shownDuringExport = false;
    bool inFront = false;
    QString said;
    QRect scanAt;
    QImage dots;
    messages.onInformation = [&] {
        const ScanWindow& scan = form.scanWindow();
        shownDuringExport = scan.isVisible() && scan.picture().pixel(0, 0) == qRgb(100, 7, 7);
        inFront = scan.windowHandle()->transientParent() == form.windowHandle();
        said = form.statusBar()->currentMessage();
        scanAt = scan.frameGeometry();
        dots = scan.dots();
    };
    form.exportAction("ascii")->trigger();

    EXPECT_EQ(readFile("relief.asc"), "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n"
                                      "X 0 Y 0 Z 0,196078431372549 \r\n"
                                      "X 0,05 Y 0 Z 0,392156862745098 \r\n"
                                      "X 0 Y 0,05 Z 0,498039215686275 \r\n"
                                      "X 0,05 Y 0,05 Z 0\r\n"
                                      "X 0,05 Y 0 Z 0,392156862745098 \r\n"
                                      "X 0,1 Y 0 Z 0,117647058823529 \r\n"
                                      "X 0,05 Y 0,05 Z 0 \r\n"
                                      "X 0,1 Y 0,05 Z 0\r\n");
    EXPECT_EQ(saveDialog.filters, std::vector<std::string>{"Fichier nuage de points Ascii (*.asc)|*.asc|"});
    EXPECT_EQ(messages.information_, std::vector<std::string>{"Création du fichier terminée."});
    EXPECT_FALSE(form.scanWindow().isVisible());

    EXPECT_TRUE(shownDuringExport);
    EXPECT_TRUE(inFront);
    EXPECT_EQ(said.toStdString(), "Fichier écrit : relief.asc, " + std::to_string(readFile("relief.asc").size()) + " octets");
    // Beside the main window, tops level, moved left just enough to stay on
    // the screen (the test screen is 800 pixels wide).
    const QRect main = form.frameGeometry();
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_EQ(scanAt.topLeft(), QPoint(std::min(main.x() + main.width(), screen.right() + 1 - scanAt.width()), main.y()));
    EXPECT_TRUE(screen.contains(scanAt));
    // Cells at x = 0 and 50: dots in pixel columns floor(x / 15), one pixel each.
    EXPECT_EQ(dots.pixel(0, 0), qRgb(0, 0x80, 0));
    EXPECT_EQ(dots.pixel(3, 0), qRgb(0, 0x80, 0));
    for (const QPoint none : {QPoint(1, 0), QPoint(2, 0), QPoint(4, 0), QPoint(0, 1), QPoint(3, 1)})
        EXPECT_EQ(qAlpha(dots.pixel(none)), 0) << none.x() << ", " << none.y();
}

// Closing "Scan", Escape in either window, "Annuler" beside the progress
// bar, closing the main window: the export stops, the earlier file stays
// alone in its folder, and the status area says so. Import and export
// commands chosen meanwhile are ignored.
TEST_F(ExportFromWindow, EveryWayToStopAnExportKeepsTheEarlierFile)
{
    const auto escapeIn = [](QWidget* widget) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(widget, &escape);
    };
    QString answer;
    const std::pair<const char*, std::function<void()>> stops[] = {
        {"Scan closed after every import and export command", [&] {
             form.exportAction("ascii")->trigger();
             form.exportAction("vrml1")->trigger();
             form.exportAction("vrml2")->trigger();
             form.importAction->trigger();
             answer = form.statusBar()->currentMessage();
             form.scanWindow().close();
         }},
        {"Escape in the main window", [&] { escapeIn(form.fields.depthField); }},
        {"Escape in Scan", [&] { escapeIn(&form.scanWindow()); }},
        {"Annuler clicked", [&] {
             QPushButton* button = form.exportProgress().cancelButton();
             const QPointF centre = QRectF(button->rect()).center();
             for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                 QMouseEvent click(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
                 QApplication::sendEvent(button, &click);
             }
         }},
        {"main window closed", [&] { form.close(); }},
    };
    saveDialog.answer = path("kept.asc");
    form.fields.stepField->setText("2");  // a long walk
    for (const auto& [name, stop] : stops) {
        writeFile("kept.asc", "earlier");
        QString note;
        QTimer::singleShot(50, &form, [&, stop = stop] {
            note = form.exportProgress().isVisible() ? form.exportProgress().note() : QString();
            stop();
        });
        form.exportAction("ascii")->trigger();
        EXPECT_EQ(readFile("kept.asc"), "earlier") << name;
        EXPECT_TRUE(messages.information_.empty() && messages.warnings.empty()) << name;
        EXPECT_FALSE(form.exportRunning()) << name;
        EXPECT_FALSE(form.scanWindow().isVisible()) << name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1) << name;
        EXPECT_TRUE(note.endsWith(QStringLiteral("Échap pour annuler"))) << name;
        EXPECT_EQ(form.statusBar()->currentMessage(), QStringLiteral("Export annulé : aucun fichier n'a été écrit")) << name;
    }
    EXPECT_FALSE(form.isVisible());
    // The commands chosen during the export did nothing but say so.
    EXPECT_EQ(saveDialog.filters.size(), 5u);
    EXPECT_EQ(openDialog.asked, 0);
    EXPECT_EQ(answer, "export en cours : commande ignorée");
}

}  // namespace
