// The map view: what part of the map it shows, smooth scrolling, Find current position and
// the pixels it paints, also when the built-in map cannot be loaded.

#include "AppHarness.h"
#include "display/CMapBitmap.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

using namespace mapreg;

class MapView : public AppHarness {
protected:
    static void Tick(int nTicks) {
        for (int i = 0; i < nTicks; ++i) {
            View().SmoothScrollStep();
        }
    }
};

TEST_F(MapView, visible_rect_spans_the_window_or_the_whole_picture) {
    Start();
    SetClientSize({400, 300});
    JumpTo({100, 50});
    // Narrower than the 998 x 500 map in both directions.
    EXPECT_EQ(View().GetVisibleMapRect(), QRect(QPoint(100, 50), QSize(400, 300)));
    LoadPicture({300, 200});
    EXPECT_EQ(View().GetVisibleMapRect(), QRect(0, 0, 300, 200));
}

TEST_F(MapView, smooth_scroll_moves_in_ten_steps_on_the_55_ms_timer_until_a_scroll_bar_action) {
    Start();
    SetClientSize({400, 300});
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
    // Smooth scrolling and "Ready" after leaving every 55 ms, the idle tick every second.
    EXPECT_EQ(View().Timer(1).interval(), 55);
    EXPECT_EQ(View().Timer(2).interval(), 55);
    EXPECT_EQ(View().Timer(3).interval(), 1000);
    View().ScrollTo(300, 100);
    EXPECT_TRUE(QTest::qWaitFor([] { return !View().IsSmoothScrolling(); }, 2000));
    EXPECT_EQ(View().GetScrollPosition(), QPoint(300, 100));

    View().ScrollTo(0, 0);
    Tick(2);
    View().horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_FALSE(View().IsSmoothScrolling());
    const QPoint pt = View().GetScrollPosition();
    Tick(5);
    EXPECT_EQ(View().GetScrollPosition(), pt);
}

TEST_F(MapView, find_position_centres_the_first_pointer_or_reports_there_is_none) {
    Start();
    SetClientSize({400, 300});
    PressKey(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_POSITION_NOT_FOUND});
    EXPECT_EQ(prompt.messages.front().icon, MsgIcon::Exclamation);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));

    prompt.messages.clear();
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
    LoadPicture({100, 60}, QStringLiteral("red.bmp"), QColor(200, 0, 0));
    SetClientSize({300, 200});
    QImage expected(300, 200, QImage::Format_RGB32);
    expected.fill(View().palette().color(QPalette::Dark));
    QPainter(&expected).fillRect(0, 0, 100, 60, QColor(200, 0, 0));
    EXPECT_EQ(Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
}

TEST_F(MapView, a_new_picture_ends_a_smooth_scroll_and_starts_at_the_top_left) {
    Start();
    SetClientSize({400, 300});
    JumpTo({300, 100});
    View().ScrollTo(400, 150);
    ASSERT_TRUE(View().IsSmoothScrolling());
    LoadPicture({900, 700}, QStringLiteral("big.bmp"));
    EXPECT_FALSE(View().IsSmoothScrolling());
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
    EXPECT_EQ(Listed(), 0);
    EXPECT_NE(View().Pointer(0), nullptr);
}

TEST_F(MapView, a_default_map_that_cannot_load_leaves_the_view_on_a_live_picture) {
    struct FailingResources {
        FailingResources() { CMapBitmap::SetResourceFailureForTesting(true); }
        ~FailingResources() { CMapBitmap::SetResourceFailureForTesting(false); }
    };
    const auto pixelShown = [] { return Viewport()->grab().toImage().pixel(5, 5); };
    Start();
    SetClientSize({200, 150});
    LoadPicture({60, 40}, QStringLiteral("plain.bmp"), Qt::darkCyan);
    const QString emptyMap = TestPath(QStringLiteral("default.gpm"));
    QFile(emptyMap).open(QIODevice::WriteOnly);
    {
        const FailingResources failing;
        const std::pair<const char*, std::function<void()>> cases[] = {
            {"file new", [&] { PressKey(Qt::Key_N, Qt::ControlModifier); }},
            {"open a map of the default map", [&] { App().OpenDocumentFile(emptyMap); }},
        };
        for (const auto& [name, act] : cases) {
            SCOPED_TRACE(name);
            prompt.messages.clear();
            if (Doc().IsModified()) {
                prompt.answers.push_back(MsgAnswer::No);
            }
            act();
            EXPECT_EQ(prompt.MessageIds().back(), IDS_CANNOT_LOAD_DEFAULT);
            EXPECT_EQ(pixelShown(), QColor(Qt::darkCyan).rgb());
        }
        // Starting without any picture: the shadow colour, and no marks to place.
        Restart();
        EXPECT_EQ(pixelShown(), View().palette().color(QPalette::Dark).rgb());
        PressKey(Qt::Key_F2, Qt::ShiftModifier);
        EXPECT_EQ(Listed(), -1);
    }
}
