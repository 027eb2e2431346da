// "Importer une image": the picture into both windows, failures silent but
// for a picture too large for the memory.

#include "window_fixture.h"

#include <QScrollBar>

#include "support/huge_bmp.h"
#include "support/memory_limit.h"

#include <QFile>
#include <QScrollBar>

namespace {

using Import = WindowTest;

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST_F(Import, PictureGoesToBothWindowsAtNaturalSize)
{
    EXPECT_FALSE(form.hasScanForm());
    importPicture(filled(20, 10, qRgb(200, 0, 0)));
    EXPECT_EQ(form.canvas().picture().size(), QSize(20, 10));
    ASSERT_TRUE(form.hasScanForm());
    EXPECT_FALSE(form.scanForm().isVisible());
    EXPECT_EQ(form.scanForm().picture().pixel(5, 5), qRgb(200, 0, 0));
    // One decoded copy, painted by both.
    EXPECT_EQ(form.scanForm().picture().constBits(), form.canvas().picture().constBits());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(Import, FailuresChangeNothingAndSayNothing)
{
    importPicture(filled(4, 4, qRgb(10, 20, 30)));
    const QImage before = form.canvas().picture();

    openDialog.answer.reset();  // cancelled
    form.import->trigger();
    openDialog.answer = path("does-not-exist.png");
    form.import->trigger();
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all\n");
    text.close();
    openDialog.answer = path("notes.png");
    form.import->trigger();
    // A PNG cut off in the middle of its data.
    ASSERT_TRUE(filled(64, 64, qRgb(1, 2, 3)).save(dir.filePath("whole.png")));
    QFile whole(dir.filePath("whole.png"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(dir.filePath("cut.png"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().left(60));
    cut.close();
    openDialog.answer = path("cut.png");
    form.import->trigger();

    EXPECT_EQ(openDialog.asked, 5);
    EXPECT_EQ(form.canvas().picture(), before);
    EXPECT_EQ(form.scanForm().picture(), before);
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_TRUE(messages.information_.empty());
}

// A header announcing 60000 x 60000 pixels of 32 bits, on a machine with
// 4 GiB left: the file is sound, the program says why it refuses it.
TEST_F(Import, PictureBeyondTheMemoryIsRefusedWithAMessage)
{
    QFile file(dir.filePath("huge.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hugeBmpHeader());
    file.close();
    openDialog.answer = path("huge.bmp");
    {
        const AddressSpaceLimit fourGigabytes(rlim_t(4) << 30);
        form.import->trigger();
    }
    EXPECT_EQ(messages.warnings, std::vector<std::string>{"Cette image ne peut pas être ouverte : image de 60000 x "
                                                          "60000 pixels : trop grande pour la mémoire de cet "
                                                          "ordinateur."});
    EXPECT_TRUE(form.canvas().picture().isNull());
    EXPECT_FALSE(form.hasScanForm());
}

TEST_F(Import, PictureLargerThanTheWindowGetsScrollBarsOutsideTheClientArea)
{
    const QSize windowBefore = form.size();
    QImage big = filled(1000, 800, qRgb(0, 0, 0));
    big.setPixel(900, 700, qRgb(255, 0, 0));
    importPicture(big);
    QApplication::processEvents();
    EXPECT_EQ(form.canvas().size(), QSize(700, 548));
    EXPECT_EQ(form.size(), windowBefore + QSize(form.verticalScrollBar()->width(), form.horizontalScrollBar()->height()));
    EXPECT_EQ(form.horizontalScrollBar()->maximum(), 300);
    EXPECT_EQ(form.verticalScrollBar()->maximum(), 252);

    // A cell whose corner falls in pixel (900, 700), beyond the client area.
    const float x = static_cast<float>(900 * window_unit::perPixelAcross + 1);
    drag(5000, 2500, 20000, 2500);
    drag(2500, 5000, 2500, 12000);
    drag(0, 2500, x, 2500);
    drag(x, 0, x, 700 * 15);
    saveDialog.answer = path("far.asc");
    form.Text3->setText("10");
    form.ascii->trigger();
    QFile file(dir.filePath("far.asc"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    file.readLine();
    for (int i = 0; i < 4; ++i)
        file.readLine();
    EXPECT_TRUE(file.readLine().endsWith("Z 0,498039215686275 \r\n"));
}

TEST_F(Import, SecondImportReplacesBothPicturesAndKeepsTheRectangle)
{
    importPicture(filled(4, 4, qRgb(10, 0, 0)), "first.png");
    drag(5000, 2500, 3000, 2500);
    importPicture(filled(6, 6, qRgb(20, 0, 0)), "second.bmp");
    EXPECT_EQ(form.canvas().picture().pixel(0, 0), qRgb(20, 0, 0));
    EXPECT_EQ(form.scanForm().picture().pixel(0, 0), qRgb(20, 0, 0));
    EXPECT_EQ(form.selection().Line1.X1, 3000);
}

TEST_F(Import, TheFirstExportShowsThePictureImportedBefore)
{
    importPicture(filled(4, 4, qRgb(30, 0, 0)));
    saveDialog.answer = path("first.asc");
    bool pictureShown = false;
    messages.onInformation = [&] {
        pictureShown = form.scanForm().isVisible() && form.scanForm().picture().pixel(0, 0) == qRgb(30, 0, 0);
    };
    form.ascii->trigger();
    EXPECT_TRUE(pictureShown);
}

}  // namespace
