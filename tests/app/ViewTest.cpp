// The map view: what part of the map it shows, smooth scrolling, Find current position and
// the pixels it paints.

#include "AppHarness.h"

#include "CPointerSprite.h"
#include "CSpriteEngine.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>

class MapView : public AppHarness {
protected:
    // Shows the view with a viewport of exactly the given size.
    void SizeViewport(QSize size) {
        const QSize extra = View().size() - View().viewport()->size();
        const QSize frameExtra = Frame().size() - View().size();
        Frame().resize(size + extra + frameExtra);
        QCoreApplication::processEvents();
        // Scroll bars coming or going change the viewport once more.
        const QSize diff = size - View().viewport()->size();
        if (!diff.isNull()) {
            Frame().resize(Frame().size() + diff);
            QCoreApplication::processEvents();
        }
    }
    void Tick(int nTicks) {
        for (int i = 0; i < nTicks; ++i) {
            View().SmoothScrollStep();
        }
    }
};

TEST_F(MapView, visible_rect_spans_the_window_or_the_whole_picture) {
    Start();
    SizeViewport(QSize(400, 300));
    ASSERT_EQ(View().viewport()->size(), QSize(400, 300));
    View().SetSmoothScroll(false);
    View().ScrollTo(100, 50);
    // Narrower than the 998 x 500 map in both directions.
    EXPECT_EQ(View().GetVisibleMapRect(), QRect(QPoint(100, 50), QSize(400, 300)));

    prompt.chosenFiles.push_back(
        WriteBitmap(QStringLiteral("small.bmp"), {300, 200}).toStdString());
    PressKey(Qt::Key_F2);
    EXPECT_EQ(View().GetVisibleMapRect(), QRect(0, 0, 300, 200));
}

TEST_F(MapView, smooth_scroll_moves_in_ten_equal_steps) {
    Start();
    SizeViewport(QSize(400, 300));
    View().ScrollTo(500, 150);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
    EXPECT_TRUE(View().IsSmoothScrolling());
    Tick(1);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(50, 15));
    Tick(4);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(250, 75));
    // A new target restarts from where the view stands.
    View().ScrollTo(250, 175);
    Tick(1);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(250, 85));
    Tick(9);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(250, 175));
    EXPECT_FALSE(View().IsSmoothScrolling());
}

TEST_F(MapView, smooth_scroll_runs_on_the_55_ms_timer) {
    Start();
    SizeViewport(QSize(400, 300));
    EXPECT_EQ(View().Timer(1).interval(), 55);
    EXPECT_EQ(View().Timer(2).interval(), 55);
    EXPECT_EQ(View().Timer(3).interval(), 1000);
    View().ScrollTo(300, 100);
    for (int i = 0; i < 200 && View().IsSmoothScrolling(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(View().GetScrollPosition(), QPoint(300, 100));
}

TEST_F(MapView, a_scroll_bar_action_ends_a_smooth_scroll) {
    Start();
    SizeViewport(QSize(400, 300));
    View().ScrollTo(500, 150);
    Tick(2);
    View().horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_FALSE(View().IsSmoothScrolling());
    const QPoint pt = View().GetScrollPosition();
    Tick(5);
    EXPECT_EQ(View().GetScrollPosition(), pt);
}

TEST_F(MapView, find_position_without_a_pointer_reports_61245) {
    Start();
    PressKey(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_POSITION_NOT_FOUND});
    EXPECT_EQ(prompt.messages.front().icon, MsgIcon::Exclamation);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
}

TEST_F(MapView, find_position_centres_the_first_pointer) {
    Start();
    SizeViewport(QSize(400, 300));
    View().SetSmoothScroll(false);
    CPointerSprite* pPointer = View().Pointer(0);
    pPointer->SetPosition(700, 400);
    ASSERT_TRUE(View().Engine()->AddSprite(pPointer));
    View().Engine()->Update();
    PressKey(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(View().GetScrollPosition(), QPoint(500, 200)); // (700 - 200, 400 - 150), clamped
}

TEST_F(MapView, paints_the_picture_and_fills_beside_it_with_the_shadow_colour) {
    Start();
    prompt.chosenFiles.push_back(
        WriteBitmap(QStringLiteral("red.bmp"), {100, 60}, QColor(200, 0, 0)).toStdString());
    PressKey(Qt::Key_F2);
    SizeViewport(QSize(300, 200));
    const QImage shot = View().viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(shot.pixel(99, 59), qRgb(200, 0, 0));
    const QRgb shadow = View().palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(shot.pixel(100, 10), shadow);
    EXPECT_EQ(shot.pixel(10, 60), shadow);
    EXPECT_EQ(shot.pixel(299, 199), shadow);
}

TEST_F(MapView, a_new_picture_resets_scrolling_and_rebuilds_the_figures) {
    Start();
    SizeViewport(QSize(400, 300));
    View().SetSmoothScroll(false);
    View().ScrollTo(300, 100);
    View().SetSmoothScroll(true);
    View().ScrollTo(400, 150);
    prompt.chosenFiles.push_back(WriteBitmap(QStringLiteral("big.bmp"), {900, 700}).toStdString());
    PressKey(Qt::Key_F2);
    EXPECT_FALSE(View().IsSmoothScrolling());
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
    EXPECT_NE(View().Engine(), nullptr);
    EXPECT_EQ(View().Engine()->GetCount(), 0);
    EXPECT_NE(View().Pointer(0), nullptr);
}
