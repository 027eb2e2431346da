#pragma once

// A main window with dialogs and message box answered by the test.

#include "app/main_window.h"
#include "app/main_window_canvas.h"
#include "app/scan_window.h"
#include "platform/window_unit.h"
#include "desktop_fakes.h"

#include <QApplication>
#include <QFile>
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
    MainWindow form{{openDialog, saveDialog, messages, optionsDialog}};
    QTemporaryDir dir;

    void SetUp() override
    {
        form.show();
        QApplication::processEvents();
    }

    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string readFile(const char* name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(missing)");
    }
    void writeFile(const char* name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Writes a picture file and imports it through the menu command.
    void importPicture(const QImage& image, const char* name = "picture.png")
    {
        ASSERT_TRUE(image.save(dir.filePath(name)));
        openDialog.answer = path(name);
        form.importAction->trigger();
    }

    // Mouse events on the client area at a position in screen pixels...
    void screenMouse(QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, form.canvas().mapToGlobal(at), changed, held, Qt::NoModifier);
        QApplication::sendEvent(&form.canvas(), &event);
    }
    void screenDrag(QPointF from, QPointF to, Qt::MouseButton button = Qt::LeftButton)
    {
        screenMouse(QEvent::MouseButtonPress, from, button);
        screenMouse(QEvent::MouseMove, to, button);
        screenMouse(QEvent::MouseButtonRelease, to, button);
    }
    // ... or in window units, at 100 % and unscrolled.
    QPointF pixels(float x, float y)
    {
        const QPointF at(x / window_unit::perPixelAcross, y / window_unit::perPixelDown);
        // The position must come back as the very units intended.
        EXPECT_EQ(static_cast<float>(at.x() * window_unit::perPixelAcross), x);
        EXPECT_EQ(static_cast<float>(at.y() * window_unit::perPixelDown), y);
        return at;
    }
    void mouse(QEvent::Type type, float x, float y, Qt::MouseButton button = Qt::LeftButton)
    {
        screenMouse(type, pixels(x, y), button);
    }
    void drag(float fromX, float fromY, float toX, float toY, Qt::MouseButton button = Qt::LeftButton)
    {
        screenDrag(pixels(fromX, fromY), pixels(toX, toY), button);
    }
};
