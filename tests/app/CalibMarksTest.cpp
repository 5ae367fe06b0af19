// Calibration marks in the running program: where they appear, dragging and its limits, the
// labels' anchors, scrolling while a mark is pulled past the window edge, centring on a double
// click, and the engine refusing the marks.

#include "AppHarness.h"

#include <QImage>
#include <QTest>

using namespace mapreg;

namespace {

class CalibMarks : public AppHarness {
protected:
    // A picture of the given size shown through a client area of the given size, in
    // calibration mode.
    void StartCalibrating(QSize picture, QSize client) {
        Start();
        LoadPicture(picture);
        SetClientSize(client);
        JumpTo(QPoint(0, 0));
        PressKey(Qt::Key_F2, Qt::ShiftModifier);
        ASSERT_TRUE(Doc().IsCalibrationMode());
    }
    // A 2000 x 1500 picture shown through an 800 x 600 client area.
    void StartLargeMap() { StartCalibrating({2000, 1500}, {800, 600}); }
    static bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }
};

} // namespace

TEST_F(CalibMarks, an_uncalibrated_picture_shown_whole_gets_the_default_triangle) {
    StartCalibrating({1000, 600}, {1100, 700});
    EXPECT_TRUE(Frame().IsCalibrationMenu());
    EXPECT_EQ(MarkPositions(), (std::vector<QPoint>{{500, 100}, {200, 400}, {800, 400}}));
    EXPECT_EQ(Listed(), 6);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(LabelPos(k), MarkPos(k)) << k;
        EXPECT_EQ(LabelAnchor(k), CLabelSprite::kBelow) << k;
    }
    // The marks are drawn into the picture: mark 1 is yellow at its ring.
    const QImage* pSurface = Doc().GetMapBitmap();
    ASSERT_NE(pSurface, nullptr);
    EXPECT_NE(pSurface->pixelColor(500, 100 - 40 * 5 / 16), QColor(Qt::darkCyan));

    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(Doc().IsCalibrationMode());
    EXPECT_EQ(Listed(), 0);
}

TEST_F(CalibMarks, a_dragged_mark_stays_on_the_picture) {
    StartCalibrating({300, 200}, {500, 400});

    struct Case {
        const char* name;
        QPoint ptTo; // client point the mouse is released at
        QPoint ptMark;
    };
    const Case cases[] = {
        {"past the right edge", {450, 100}, {299, 100}},
        {"past the top edge", {150, -30}, {150, 0}},
        {"past the bottom left corner", {-20, 380}, {0, 199}},
        {"inside", {120, 80}, {120, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Drag(ToClient(MarkPos(0)), c.ptTo);
        EXPECT_EQ(MarkPos(0), c.ptMark);
        EXPECT_FALSE(Marks().IsDragging());
    }
    // Where the mouse took hold of the mark is kept: a press 3 pixels off its centre.
    Drag(ToClient(MarkPos(0)) + QPoint(3, -2), QPoint(203, 98));
    EXPECT_EQ(MarkPos(0), QPoint(200, 100));
}

TEST_F(CalibMarks, a_press_on_overlapping_marks_takes_the_lower_number_and_a_miss_takes_none) {
    StartCalibrating({300, 200}, {500, 400});
    Doc().OnEnterWaypoints(); // a miss must not place a waypoint even now
    Marks().SetMarkPosition(2, QPoint(150, 100), 0);
    Marks().SetMarkPosition(1, QPoint(155, 100), 0);

    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, ToClient(QPoint(153, 100)));
    EXPECT_TRUE(Marks().IsDragging());
    EXPECT_EQ(Marks().DragMark(), 1);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, ToClient(QPoint(153, 100)));

    const int nListed = Listed();
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, ToClient(QPoint(10, 190)));
    EXPECT_FALSE(Marks().IsDragging());
    EXPECT_EQ(Listed(), nListed);
    EXPECT_EQ(Doc().GetPlacedWaypoints(), 0);
}

TEST_F(CalibMarks, labels_follow_their_marks_and_wait_at_the_edge_pointing_at_marks_out_of_view) {
    StartLargeMap(); // figures of 40 x 40
    struct Case {
        const char* name;
        QPoint ptScroll;
        QPoint ptMark;
        int nAnchor;
        QPoint ptLabel;
    };
    // Visible area at (0, 0): less half a figure it spans 20..780 x 20..580.
    const Case cases[] = {
        {"middle", {0, 0}, {400, 300}, CLabelSprite::kBelow, {400, 300}},
        {"near the bottom", {0, 0}, {400, 541}, CLabelSprite::kAbove, {400, 541}},
        {"just above that", {0, 0}, {400, 540}, CLabelSprite::kBelow, {400, 540}},
        {"above left of the view", {300, 200}, {100, 100}, CLabelSprite::kBelowRight, {280, 180}},
        {"left of the view", {300, 200}, {100, 500}, CLabelSprite::kRight, {280, 500}},
        {"below left of the view", {300, 200}, {100, 1400}, CLabelSprite::kAboveRight, {280, 820}},
        {"above right of the view", {0, 200}, {1500, 10}, CLabelSprite::kBelowLeft, {820, 180}},
        {"right of the view", {0, 0}, {1500, 300}, CLabelSprite::kLeft, {820, 300}},
        {"below right of the view", {0, 0}, {1500, 1000}, CLabelSprite::kAboveLeft, {820, 620}},
        {"below the view", {0, 0}, {400, 1000}, CLabelSprite::kAbove, {400, 620}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JumpTo(c.ptScroll);
        ASSERT_EQ(View().GetScrollPosition(), c.ptScroll);
        Marks().SetMarkPosition(0, c.ptMark, 0);
        EXPECT_EQ(LabelAnchor(0), c.nAnchor);
        EXPECT_EQ(LabelPos(0), c.ptLabel);
    }
    // Scrolling alone brings the label back to its mark.
    Marks().SetMarkPosition(0, QPoint(1500, 300), 0);
    JumpTo(QPoint(1000, 0));
    EXPECT_EQ(LabelAnchor(0), CLabelSprite::kBelow);
    EXPECT_EQ(LabelPos(0), QPoint(1500, 300));
}

TEST_F(CalibMarks, a_mark_held_past_the_window_edge_scrolls_the_map_until_the_picture_ends) {
    StartLargeMap();
    Marks().SetMarkPosition(0, QPoint(400, 300), 0);
    // Held 50 pixels right of the client area.
    Drag(QPoint(400, 300), QPoint(850, 300), false);
    // Under the mouse, whether or not the auto-scroll timer has ticked yet.
    EXPECT_EQ(ToClient(MarkPos(0)), QPoint(850, 300));
    ASSERT_TRUE(WaitFor([this] { return View().GetScrollPosition().x() > 0; }));
    // Each tick scrolls by the overshoot and carries the mark along; the label waits at the
    // right edge of the visible area pointing at it.
    EXPECT_EQ(ToClient(MarkPos(0)).x(), 850) << "the mark keeps its place in the window";
    EXPECT_EQ(LabelAnchor(0), CLabelSprite::kLeft);

    ASSERT_TRUE(WaitFor([this] { return MarkPos(0).x() == 1999; }));
    ASSERT_TRUE(WaitFor([this] { return View().GetScrollPosition().x() == 1200; }));
    QTest::qWait(200);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(1200, 0)) << "no further once the mark is shown";
    EXPECT_EQ(MarkPos(0), QPoint(1999, 300));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(850, 300));
    EXPECT_FALSE(Marks().IsDragging());
    EXPECT_EQ(Marks().DragMark(), -1);
}

TEST_F(CalibMarks, a_mark_let_go_outside_the_window_scrolls_into_view_at_once) {
    StartLargeMap();
    Marks().SetMarkPosition(0, QPoint(400, 300), 0);
    Drag(QPoint(400, 300), QPoint(1000, 650));
    // Just far enough: the mark on the last column and row of the client area.
    EXPECT_EQ(View().GetScrollPosition(), QPoint(201, 51));
    EXPECT_FALSE(View().IsSmoothScrolling());
    EXPECT_EQ(ToClient(MarkPos(0)), QPoint(799, 599));
    // Within half a figure of the corner the label stands above left, pointing at the mark.
    EXPECT_EQ(LabelAnchor(0), CLabelSprite::kAboveLeft);
}

TEST_F(CalibMarks, a_double_click_on_a_mark_centres_the_view_on_it) {
    StartLargeMap();
    JumpTo(QPoint(1000, 600));
    Marks().SetMarkPosition(2, QPoint(1500, 1000), 0);
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(500, 400));
    ASSERT_TRUE(WaitFor([this] { return View().GetScrollPosition() == QPoint(1100, 700); }));
    EXPECT_EQ(ToClient(MarkPos(2)), QPoint(400, 300));
    EXPECT_EQ(LabelPos(2), MarkPos(2));

    // Outside calibration mode a double click does not scroll.
    PressKey(Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([this] { return !View().IsSmoothScrolling(); }));
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::qWait(120);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(1100, 700));
}

TEST_F(CalibMarks, marks_the_engine_cannot_take_leave_calibration_mode_with_the_normal_menu) {
    Start();
    const QStringList normalMenu = MenuTitles();
    {
        // Another engine holds mark 3, so the view's engine cannot list it.
        QImage other(64, 64, QImage::Format_RGB32);
        CSpriteEngine otherEngine(nullptr, &other);
        ASSERT_TRUE(otherEngine.AddSprite(View().Mark(2)));
        PressKey(Qt::Key_F2, Qt::ShiftModifier);

        ASSERT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SPRITES_NO_MEMORY});
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
        EXPECT_FALSE(Doc().IsCalibrationMode());
        EXPECT_EQ(MenuTitles(), normalMenu);
        EXPECT_TRUE(Frame().CommandAction(ID_MAP_CALIBRATE)->isEnabled());
        EXPECT_FALSE(Frame().CommandAction(ID_CALIBRATE_CANCEL)->isEnabled());
    }
    // Once the marks are free again, calibration works.
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_TRUE(Doc().IsCalibrationMode());
    EXPECT_EQ(Listed(), 6);
}
