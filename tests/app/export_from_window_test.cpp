// Whole exports run from the window's menu.

#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTimer>

namespace {

using ExportFromWindow = WindowTest;

std::string readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(missing)");
}

void writeFile(const std::string& path, const std::string& bytes)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

const std::string asciiHead = "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n";

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

TEST_F(ExportFromWindow, ImportDragAndAsciiExportGiveTheExactFile)
{
    importPicture(smallPicture());
    drag(5000, 5000, 100, 50);  // the bottom-right corner
    saveDialog.answer = path("relief.asc");
    form.ascii->trigger();

    const std::string expected = asciiHead +
                                 "X 0 Y 0 Z 0,196078431372549 \r\n"
                                 "X 0,05 Y 0 Z 0,392156862745098 \r\n"
                                 "X 0 Y 0,05 Z 0,498039215686275 \r\n"
                                 "X 0,05 Y 0,05 Z 0\r\n"
                                 "X 0,05 Y 0 Z 0,392156862745098 \r\n"
                                 "X 0,1 Y 0 Z 0,117647058823529 \r\n"
                                 "X 0,05 Y 0,05 Z 0 \r\n"
                                 "X 0,1 Y 0,05 Z 0\r\n";
    EXPECT_EQ(readFile(path("relief.asc")), expected);
    EXPECT_EQ(saveDialog.filters, std::vector<std::string>{"Fichier nuage de points Ascii (*.asc)|*.asc|"});
    EXPECT_EQ(messages.information_, std::vector<std::string>{"Création du fichier terminée."});
    EXPECT_FALSE(form.scanForm().isVisible());
}

TEST_F(ExportFromWindow, ScanStandsBesideTheMainWindowWithADotPerCell)
{
    saveDialog.answer = path("dots.asc");
    bool shownDuringExport = false;
    QRect scanAt;
    messages.onInformation = [&] {
        shownDuringExport = form.scanForm().isVisible();
        scanAt = form.scanForm().frameGeometry();
    };
    form.ascii->trigger();

    EXPECT_TRUE(shownDuringExport);
    // Beside the main window, tops level, moved left just enough to stay on
    // the screen (the test screen is 800 pixels wide).
    const QRect main = form.frameGeometry();
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_EQ(scanAt.topLeft(), QPoint(std::min(main.x() + main.width(), screen.right() + 1 - scanAt.width()), main.y()));
    EXPECT_TRUE(screen.contains(scanAt));
    // Cells every 50 units from 0 to 4950: dots in pixel columns and rows
    // floor(50 k / 15).
    const QImage dots = form.scanForm().dots();
    EXPECT_EQ(dots.pixel(0, 0), qRgb(0, 0x80, 0));
    EXPECT_EQ(dots.pixel(3, 3), qRgb(0, 0x80, 0));
    EXPECT_EQ(dots.pixel(330, 330), qRgb(0, 0x80, 0));
    EXPECT_EQ(qAlpha(dots.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(dots.pixel(331, 331)), 0);
}

TEST_F(ExportFromWindow, CancelledSaveDialogEndsQuietly)
{
    saveDialog.answer.reset();
    form.ascii->trigger();
    EXPECT_EQ(saveDialog.filters.size(), 1u);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_FALSE(form.hasScanForm() && form.scanForm().isVisible());
}

TEST_F(ExportFromWindow, UnwritablePathIsToldAndKeepsNothingPartial)
{
    saveDialog.answer = path("missing-folder/relief.asc");
    form.ascii->trigger();
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("missing-folder/relief.asc"), std::string::npos);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_FALSE(form.scanForm().isVisible());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

TEST_F(ExportFromWindow, ClosingTheScanWindowCancelsTheExport)
{
    writeFile(path("kept.asc"), "earlier");
    saveDialog.answer = path("kept.asc");
    form.Text3->setText("2");  // a long walk
    QTimer::singleShot(50, &form, [&] { form.scanForm().close(); });
    form.ascii->trigger();
    EXPECT_EQ(readFile(path("kept.asc")), "earlier");
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_FALSE(form.exportRunning());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
}

TEST_F(ExportFromWindow, ClosingTheMainWindowDuringAnExportDiscardsIt)
{
    writeFile(path("kept.asc"), "earlier");
    saveDialog.answer = path("kept.asc");
    form.Text3->setText("2");
    QTimer::singleShot(50, &form, [&] { form.close(); });
    form.ascii->trigger();
    EXPECT_EQ(readFile(path("kept.asc")), "earlier");
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.scanForm().isVisible());
}

TEST_F(ExportFromWindow, MenuCommandsDoNothingWhileAnExportRuns)
{
    saveDialog.answer = path("first.asc");
    form.Text3->setText("2");
    QTimer::singleShot(30, &form, [&] {
        form.ascii->trigger();
        form.export_->trigger();
        form.import->trigger();
        form.scanForm().close();
    });
    form.exportcat->trigger();
    EXPECT_EQ(saveDialog.filters.size(), 1u);
    EXPECT_EQ(openDialog.asked, 0);
}

TEST_F(ExportFromWindow, StepZeroIsRefusedBeforeTheDialog)
{
    form.Text3->setText("0");
    form.ascii->trigger();
    EXPECT_TRUE(saveDialog.filters.empty());
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("Pas en pixel"), std::string::npos);
}

}  // namespace
