// "Importer une image": the picture into both windows; a refused file said
// in the status area, and in a message box too when it is too large for the
// memory.

#include "window_fixture.h"

#include <QStatusBar>

#include <fstream>
#include <string>

#include <sys/resource.h>

namespace {

// A BMP header announcing 60000 x 60000 pixels of 8 bits, run-length coded:
// a few bytes may hold them all, so only the memory can refuse it.
QByteArray hugeBmpHeader()
{
    QByteArray bmp("BM");
    auto put32 = [&bmp](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp.append(char((v >> (8 * i)) & 0xFF));
    };
    put32(54 + 16), put32(0), put32(54);                                // file header
    put32(40), put32(60000), put32(60000), put32(1 | 8 << 16);          // one plane, 8 bits
    put32(1), put32(16), put32(2835), put32(2835), put32(0), put32(0);  // run-length coded, 16 bytes
    return bmp.append(16, '\x7f');
}

using Import = WindowTest;

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST_F(Import, PictureGoesToBothWindowsAndASecondOneReplacesIt)
{
    EXPECT_FALSE(form.hasScanWindow());
    importPicture(filled(20, 10, qRgb(200, 0, 0)), "first.png");
    EXPECT_EQ(form.canvas().picture().size(), QSize(20, 10));
    ASSERT_TRUE(form.hasScanWindow());
    EXPECT_FALSE(form.scanWindow().isVisible());
    EXPECT_EQ(form.scanWindow().picture().pixel(5, 5), qRgb(200, 0, 0));
    // One decoded copy, painted by both.
    EXPECT_EQ(form.scanWindow().picture().constBits(), form.canvas().picture().constBits());

    importPicture(filled(6, 6, qRgb(20, 0, 0)), "second.bmp");
    EXPECT_EQ(form.canvas().picture().pixel(0, 0), qRgb(20, 0, 0));
    EXPECT_EQ(form.scanWindow().picture().pixel(0, 0), qRgb(20, 0, 0));
    EXPECT_TRUE(messages.warnings.empty());
}

// Cancelled, missing, no picture, a PNG cut off in the middle of its data:
// the picture, the rectangle and the fields stay as they were; the status
// area says why the file was refused, and no box opens.
TEST_F(Import, FailuresChangeNothingAndSayWhyInTheStatusArea)
{
    importPicture(filled(4, 4, qRgb(10, 20, 30)));
    drag(5000, 5000, 3000, 2000);
    form.fields.depthField->setText("0.25");
    const QImage before = form.canvas().picture();
    const auto edges = [this] {
        const EdgeLines e = form.selection().edges();
        return std::vector<float>{e.rightEdge, e.leftEdge, e.bottomEdge, e.topEdge};
    };
    const std::vector<float> edgesBefore = edges();
    writeFile("notes.png", "not a picture at all\n");
    ASSERT_TRUE(filled(64, 64, qRgb(1, 2, 3)).save(dir.filePath("whole.png")));
    writeFile("cut.png", QByteArray::fromStdString(readFile("whole.png").substr(0, 60)));
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {std::nullopt, ""},
        {path("does-not-exist.png"), "Image non importée : fichier introuvable"},
        {path("notes.png"), "Image non importée : format d'image inconnu"},
        {path("cut.png"), "Image non importée : fichier endommagé ou incomplet"},
    };
    for (const auto& [answer, said] : cases) {
        form.statusBar()->clearMessage();
        openDialog.answer = answer;
        form.importAction->trigger();
        EXPECT_EQ(form.statusBar()->currentMessage(), QString::fromUtf8(said));
    }
    EXPECT_EQ(openDialog.asked, 5);
    EXPECT_EQ(form.canvas().picture(), before);
    EXPECT_EQ(form.scanWindow().picture(), before);
    EXPECT_EQ(edges(), edgesBefore);
    EXPECT_EQ(form.fields.texts().depth, "0.25");
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_TRUE(messages.information_.empty());
}

// A header announcing 60000 x 60000 pixels, in an address space of 4 GiB
// more than the process spans: the program says why it refuses it.
TEST_F(Import, PictureBeyondTheMemoryIsRefusedWithAMessage)
{
    writeFile("huge.bmp", hugeBmpHeader());
    openDialog.answer = path("huge.bmp");
    // 4 GiB more than the process already spans (AddressSanitizer's shadow
    // alone spans terabytes): the loader then sees a machine with 4 GiB left.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &previous), 0);
    std::ifstream status("/proc/self/status");
    std::string word;
    rlim_t usedKilobytes = 0;
    while (status >> word && !(word == "VmSize:" && status >> usedKilobytes)) {
    }
    const rlimit lowered{usedKilobytes * 1024 + (rlim_t(4) << 30), previous.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &lowered), 0);
    form.importAction->trigger();
    setrlimit(RLIMIT_AS, &previous);
    EXPECT_EQ(messages.warnings, std::vector<std::string>{"Cette image ne peut pas être ouverte : image de 60000 x "
                                                          "60000 pixels : trop grande pour la mémoire de cet "
                                                          "ordinateur."});
    EXPECT_EQ(form.statusBar()->currentMessage(), QStringLiteral("Image non importée : image de 60000 x 60000 pixels : "
                                                                 "trop grande pour la mémoire de cet ordinateur"));
    EXPECT_TRUE(form.canvas().picture().isNull());
    EXPECT_FALSE(form.hasScanWindow());
}

}  // namespace
