#pragma once

// A main window with dialogs and message box answered by the test.

#include "app/main_window.h"
#include "platform/window_unit.h"
#include "desktop_fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct FakeOpenDialog : OpenDialog {
    std::optional<std::string> answer;
    int asked = 0;
    std::optional<std::string> askOpenPath() override
    {
        ++asked;
        return answer;
    }
};

struct WindowTest : ::testing::Test {
    FakeOpenDialog openDialog;
    FakeSaveDialog saveDialog;
    RecordingMessages messages;
    FakeOptions optionsDialog;
    Form1 form{{openDialog, saveDialog, messages, optionsDialog}};
    QTemporaryDir dir;

    void SetUp() override
    {
        form.show();
        QApplication::processEvents();
    }

    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    // Writes a picture file and imports it through the menu command.
    void importPicture(const QImage& image, const char* name = "picture.png")
    {
        ASSERT_TRUE(image.save(dir.filePath(name)));
        openDialog.answer = path(name);
        form.import->trigger();
    }

    // Sends a mouse event to the client area at a position in window units.
    void mouse(QEvent::Type type, float x, float y, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF pixels(x / window_unit::perPixelAcross, y / window_unit::perPixelDown);
        // The position must come back as the very units intended.
        ASSERT_EQ(static_cast<float>(pixels.x() * window_unit::perPixelAcross), x);
        ASSERT_EQ(static_cast<float>(pixels.y() * window_unit::perPixelDown), y);
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, pixels, form.canvas().mapToGlobal(pixels), changed, held, Qt::NoModifier);
        QApplication::sendEvent(&form.canvas(), &event);
    }
    void drag(float fromX, float fromY, float toX, float toY, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, fromX, fromY, button);
        mouse(QEvent::MouseMove, toX, toY, button);
        mouse(QEvent::MouseButtonRelease, toX, toY, button);
    }
};
