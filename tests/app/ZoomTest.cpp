// Zoom: the commands and their levels, the map pixel under the mouse at any level, marks and
// waypoints placed on exact pixels, figures at their own size, and a screen that matches a fresh
// paint after wheel storms and zooming in the middle of a drag or a smooth scroll.

#include "AppHarness.h"
#include "display/CMapZoom.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace mapreg;

namespace {

constexpr Qt::KeyboardModifier kCtrl = Qt::ControlModifier;

} // namespace

class Zoom : public AppHarness {
protected:
    static void Wheel(QPoint ptClient, int nDelta, Qt::KeyboardModifiers modifiers = kCtrl) {
        QWheelEvent wheel(QPointF(ptClient), QPointF(Viewport()->mapToGlobal(ptClient)), QPoint(),
                          QPoint(0, nDelta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &wheel);
    }
    static QString Pane() { return Frame().ZoomPane()->text(); }
};

TEST_F(Zoom, commands_step_through_the_series_in_both_menus_and_show_the_level) {
    Start();
    const QStringList items{"Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-", "&Actual Size\tCtrl+0",
                            "&Fit to Window\tCtrl+9"};
    EXPECT_EQ(MenuItems(3).mid(3), items);
    EXPECT_EQ(Pane(), "100%");
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Equal, "141%"}, {Qt::Key_Plus, "200%"}, {Qt::Key_Minus, "141%"},
        {Qt::Key_0, "100%"},     {Qt::Key_Minus, "71%"}, {Qt::Key_Minus, "50%"}};
    for (const auto& [key, pane] : steps) {
        PressKey(key, kCtrl);
        EXPECT_EQ(Pane(), pane);
    }
    for (int i = 0; i < 12; ++i) {
        PressKey(Qt::Key_Minus, kCtrl);
    }
    EXPECT_EQ(View().Zoom().Factor(), CMapZoom::kMinFactor);
    EXPECT_FALSE(Frame().CommandAction(ID_VIEW_ZOOM_OUT)->isEnabled());

    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(MenuItems(2).mid(3), items);
    for (int i = 0; i < 20; ++i) {
        PressKey(Qt::Key_Equal, kCtrl);
    }
    EXPECT_EQ(Pane(), "800%");
    EXPECT_FALSE(Frame().CommandAction(ID_VIEW_ZOOM_IN)->isEnabled());
    PressKey(Qt::Key_Escape);
    // A new picture starts at 100 %.
    LoadPicture({300, 200});
    EXPECT_EQ(Pane(), "100%");
    EXPECT_TRUE(View().Zoom().IsActual());
}

TEST_F(Zoom, readout_and_waypoints_take_the_map_pixel_under_the_mouse) {
    Start(); // the built-in world map, calibrated
    SetClientSize({400, 300});
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    struct Case {
        double dZoom;
        QPoint ptScroll;
        QPoint ptMap; // under client point (37, 21): floor((37 + scroll) / zoom)
    };
    const Case cases[] = {
        {0.25, {0, 0}, {148, 84}}, {1.0, {301, 117}, {338, 138}}, {8.0, {1003, 507}, {130, 66}}};
    const QPoint ptClient(37, 21);
    for (int n = 0; n < 3; ++n) {
        const Case& c = cases[n];
        View().SetZoom(CMapZoom(c.dZoom));
        JumpTo(c.ptScroll);
        MoveCursorToClient(ptClient);
        const QString readout = Frame().StatusText();
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, ptClient);
        EXPECT_EQ(View().Pointer(n)->GetPosition(), c.ptMap) << c.dZoom;
        // The same pixel at 100 % reads the same.
        View().SetZoom(CMapZoom());
        JumpTo(c.ptMap - QPoint(20, 20));
        MoveCursorToMap(c.ptMap);
        EXPECT_EQ(Frame().StatusText(), readout) << c.dZoom;
    }
}

TEST_F(Zoom, a_dragged_mark_lands_on_the_exact_pixel) {
    Start();
    LoadPicture({600, 400});
    SetClientSize({400, 300});
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_EQ(MarkPos(0), QPoint(200, 50));
    // At 50 % a mouse step is two map pixels: the mark keeps the parity it had.
    const std::pair<double, QPoint> cases[] = {{0.5, {350, 212}}, {4.0, {401, 263}}};
    for (const auto& [dZoom, ptTarget] : cases) {
        View().SetZoom(CMapZoom(dZoom));
        JumpTo({1300, 800});
        Drag(View().ClientFromMap(MarkPos(0)), View().ClientFromMap(ptTarget));
        EXPECT_EQ(MarkPos(0), ptTarget) << dZoom;
    }
    EXPECT_EQ(View().ClientFromMap(MarkPos(0)), QPoint(306, 254)); // 4 * 401 + 2 - 1300
}

TEST_F(Zoom, ctrl_wheel_keeps_the_map_pixel_under_the_mouse) {
    Start();
    SetClientSize({400, 300});
    JumpTo({300, 100});
    const QPoint ptMouse(123, 77);
    const QPoint ptMap = View().MapFromClient(ptMouse);
    const std::pair<int, const char*> turns[] = {
        {120, "141%"}, {120, "200%"}, {240, "400%"}, {-120, "283%"}, {-360, "100%"}};
    for (const auto& [nDelta, pane] : turns) {
        Wheel(ptMouse, nDelta);
        EXPECT_EQ(Pane(), pane);
        EXPECT_EQ(View().MapFromClient(ptMouse), ptMap) << pane;
    }
    EXPECT_EQ(View().GetScrollPosition(), QPoint(300, 100));
    // Without Ctrl the wheel scrolls.
    Wheel(ptMouse, -120, Qt::NoModifier);
    EXPECT_EQ(Pane(), "100%");
    EXPECT_GT(View().GetScrollPosition().y(), 100);
}

TEST_F(Zoom, fit_to_window_shows_a_wide_or_a_tall_picture_whole) {
    Start();
    struct Case {
        QSize sizeMap;
        double dFit;
        QSize sizeContent;
        double dIn;
        double dOut;
    };
    const Case cases[] = {{{1000, 200}, 0.4, {400, 80}, 0.5, 0.5 / std::sqrt(2.0)},
                          {{200, 1000}, 0.3, {60, 300}, 0.5 / std::sqrt(2.0), 0.25}};
    for (const Case& c : cases) {
        LoadPicture(c.sizeMap, QStringLiteral("fit%1.bmp").arg(c.sizeMap.width()));
        SetClientSize({400, 300});
        PressKey(Qt::Key_9, kCtrl);
        EXPECT_DOUBLE_EQ(View().Zoom().Factor(), c.dFit);
        EXPECT_EQ(View().ContentSize(), c.sizeContent);
        EXPECT_EQ(View().horizontalScrollBar()->maximum() + View().verticalScrollBar()->maximum(),
                  0);
        PressKey(Qt::Key_Equal, kCtrl);
        EXPECT_DOUBLE_EQ(View().Zoom().Factor(), c.dIn);
        PressKey(Qt::Key_9, kCtrl);
        PressKey(Qt::Key_Minus, kCtrl);
        EXPECT_DOUBLE_EQ(View().Zoom().Factor(), c.dOut);
    }
}

TEST_F(Zoom, mark_and_label_keep_their_pixels_on_screen_at_every_level) {
    Start();
    LoadPicture({1600, 1200});
    SetClientSize({400, 300});
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    Marks().SetMarkPosition(0, {800, 600}, 0);
    QImage figures100;
    for (const double dZoom : {1.0, 0.25, 8.0}) {
        View().SetZoom(CMapZoom(dZoom));
        // The mark's pixel in the middle of the window.
        JumpTo(View().Zoom().ContentFromMap(QPoint(800, 600)) - QPoint(200, 150));
        ASSERT_EQ(View().ClientFromMap(MarkPos(0)), QPoint(200, 150)) << dZoom;
        const QRect rc =
            (View().FigureContentRect(*View().Mark(0)) | View().FigureContentRect(*View().Label(0)))
                .translated(-View().GetScrollPosition());
        const QImage figures = Shown().copy(rc);
        if (figures100.isNull()) {
            figures100 = figures;
        }
        EXPECT_EQ(figures, figures100) << dZoom;
    }
    // At 800 % the mark stands in the middle of its pixel's 8 x 8 square.
    EXPECT_EQ(View().Zoom().ContentFromMap(QPoint(800, 600)), QPoint(6404, 4804));
}

TEST_F(Zoom, wheel_storms_and_zooming_mid_drag_or_scroll_leave_the_screen_consistent) {
    Start();
    LoadPicture({900, 700});
    SetClientSize({400, 300});
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    const QImage before = Shown();

    const QPoint ptGrab = View().ClientFromMap(MarkPos(0));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, ptGrab);
    QTest::mouseMove(Viewport(), ptGrab + QPoint(30, 20));
    for (int i = 0; i < 60; ++i) {
        Wheel(ptGrab + QPoint(i, i / 2), i % 3 == 0 ? -240 : 120);
    }
    Wheel(ptGrab, 240);
    ASSERT_EQ(Pane(), "200%");
    QCoreApplication::processEvents();
    QTest::mouseMove(Viewport(), ptGrab + QPoint(60, 90));
    EXPECT_TRUE(Marks().IsDragging());
    EXPECT_EQ(Shown(), FreshPaint()) << Pane().toStdString();
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, ptGrab + QPoint(60, 90));
    EXPECT_FALSE(Marks().IsDragging());
    EXPECT_EQ(Shown(), FreshPaint()) << Pane().toStdString();

    // Zooming in the middle of a smooth scroll ends it where the view stands.
    View().ScrollTo(500, 400);
    View().SmoothScrollStep();
    PressKey(Qt::Key_Minus, kCtrl);
    EXPECT_FALSE(View().IsSmoothScrolling());
    EXPECT_EQ(Shown(), FreshPaint()) << Pane().toStdString();

    // Back at 100 % with the mark where it started: every pixel as before.
    PressKey(Qt::Key_0, kCtrl);
    Marks().SetMarkPosition(0, QPoint(200, 50), 0);
    JumpTo({0, 0});
    EXPECT_EQ(Shown(), before);
    // With the marks gone, no figure is left in the picture.
    PressKey(Qt::Key_Escape);
    QImage plain(900, 700, QImage::Format_RGB32);
    plain.fill(Qt::darkCyan);
    EXPECT_EQ(*Doc().GetMapBitmap(), plain);
}
