// What the window shows after scrolling, smooth scrolling and dragging marks equals a fresh
// paint of the view: nothing left from before a scroll, no strip or figure missed.

#include "AppHarness.h"

#include <QScrollBar>

using namespace mapreg;

namespace {

class ViewRepaint : public AppHarness {
protected:
    static void ExpectShownEqualsFresh(const std::string& strStep) {
        const QImage shown = Shown();
        ASSERT_EQ(shown.size(), Viewport()->size()) << strStep;
        EXPECT_TRUE(shown == FreshPaint()) << strStep;
    }
};

} // namespace

TEST_F(ViewRepaint, after_scrolling_and_dragging_the_window_shows_a_fresh_paint) {
    Start();
    LoadPatternPicture({900, 700});
    SetClientSize({400, 300});
    PressKey(Qt::Key_F2, Qt::ShiftModifier); // calibration mode: marks and labels on the map
    ASSERT_TRUE(Doc().IsCalibrationMode());
    ExpectShownEqualsFresh("start");

    for (const QPoint pt : {QPoint(37, 0), QPoint(37, 53), QPoint(300, 200), QPoint(290, 190),
                            QPoint(500, 400), QPoint(0, 399)}) {
        JumpTo(pt);
        ExpectShownEqualsFresh("jump to " + std::to_string(pt.x()) + "," + std::to_string(pt.y()));
    }
    for (const auto eAction :
         {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderPageStepAdd,
          QAbstractSlider::SliderSingleStepSub}) {
        for (QScrollBar* pBar : {View().horizontalScrollBar(), View().verticalScrollBar()}) {
            pBar->triggerAction(eAction);
            ExpectShownEqualsFresh("scroll bar action " + std::to_string(eAction));
        }
    }
    View().SetSmoothScroll(true);
    View().ScrollTo(123, 77);
    for (int nTick = 0; nTick < 10; ++nTick) {
        View().SmoothScrollStep();
        ExpectShownEqualsFresh("smooth scroll tick " + std::to_string(nTick));
    }
    JumpTo({0, 0});
    for (const QPoint pt : {QPoint(150, 120), QPoint(160, 125), QPoint(390, 290), QPoint(5, 5)}) {
        DragMarkTo(1, pt);
        ExpectShownEqualsFresh("mark dragged to " + std::to_string(pt.x()) + "," +
                               std::to_string(pt.y()));
    }
}
