#include "app/relief_preview_window.h"
#include "app/relief_view.h"
#include "test_grids.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace {

HeightGrid bowl(double depth)
{
    return gridOf(41, 31, [depth](int r, int c) { return depth * ((c - 20) * (c - 20) + (r - 15) * (r - 15)) / 625.0; });
}

struct PreviewWindowTest : ::testing::Test {
    ReliefPreviewWindow window;

    void SetUp() override
    {
        window.resize(800, 500);
        window.setRelief(bowl(0.2), {"0,4 x 0,3 x 0,2 m", "1 200 cellules", {}, "profondeur maxi : 0,2 m", {}, {}});
        window.show();
        QApplication::processEvents();
    }

    QImage frame() const { return window.view().grab().toImage(); }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button)
    {
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, window.view().mapToGlobal(at), changed, held, Qt::NoModifier);
        QApplication::sendEvent(&window.view(), &event);
    }
    void drag(Qt::MouseButton button)
    {
        mouse(QEvent::MouseButtonPress, {200, 200}, button);
        mouse(QEvent::MouseMove, {230, 220}, button);
        mouse(QEvent::MouseMove, {260, 240}, button);
        mouse(QEvent::MouseButtonRelease, {260, 240}, button);
    }
};

TEST_F(PreviewWindowTest, FieldChangeRedrawsTheReliefAndKeepsTheView)
{
    drag(Qt::LeftButton);
    const PreviewCamera turned = window.view().camera();
    const QImage before = frame();

    window.setRelief(bowl(0.5), {"0,4 x 0,3 x 0,5 m", "1 200 cellules", {}, "profondeur maxi : 0,5 m", {}, {}});
    EXPECT_NE(frame(), before);
    EXPECT_EQ(window.view().camera(), turned);
    EXPECT_TRUE(window.factsText->text().contains("profondeur maxi : 0,5 m"));
}

TEST_F(PreviewWindowTest, DragsAndWheelMoveTheView)
{
    const struct {
        const char* name;
        std::function<void(PreviewWindowTest&)> act;
        std::function<bool(const PreviewCamera&, const PreviewCamera&)> moved;
    } cases[] = {
        {"left drag orbits", [](PreviewWindowTest& t) { t.drag(Qt::LeftButton); },
         [](const PreviewCamera& a, const PreviewCamera& b) { return a.yaw != b.yaw && a.pitch != b.pitch; }},
        {"right drag pans", [](PreviewWindowTest& t) { t.drag(Qt::RightButton); },
         [](const PreviewCamera& a, const PreviewCamera& b) { return a.panX != b.panX && a.panY != b.panY && a.yaw == b.yaw; }},
        {"wheel zooms",
         [](PreviewWindowTest& t) {
             QWheelEvent wheel({200, 200}, t.window.view().mapToGlobal(QPointF(200, 200)), {}, {0, 120},
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&t.window.view(), &wheel);
         },
         [](const PreviewCamera& a, const PreviewCamera& b) { return b.distance < a.distance; }},
    };
    for (const auto& c : cases) {
        const PreviewCamera before = window.view().camera();
        const QImage shown = frame();
        c.act(*this);
        EXPECT_TRUE(c.moved(before, window.view().camera())) << c.name;
        EXPECT_NE(frame(), shown) << c.name;
    }
}

TEST_F(PreviewWindowTest, HomeKeyBringsBackTheFrontView)
{
    drag(Qt::LeftButton);
    drag(Qt::RightButton);
    window.view().setFocus();
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(&window.view(), &home);
    EXPECT_EQ(window.view().camera(), PreviewCamera::front());
}

TEST_F(PreviewWindowTest, LargeReliefIsThinnedAndSaysSo)
{
    // 600 x 500 points: 1 in 2 keeps 300 x 250.
    window.setRelief(gridOf(600, 500, [](int, int c) { return c * 1e-4; }), {});
    EXPECT_TRUE(window.factsText->text().contains(QStringLiteral("aperçu allégé : 1 point sur 2")))
        << window.factsText->text().toStdString();
}

TEST_F(PreviewWindowTest, DepthColoursCheckboxRecolours)
{
    const QImage shaded = frame();
    window.depthColours->setChecked(true);
    EXPECT_NE(frame(), shaded);
}

}  // namespace
