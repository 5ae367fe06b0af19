#pragma once
// The running program set up for work on calibration marks and waypoints: a test picture of a
// chosen size loaded with New Bitmap, the view's client area of a chosen size, mouse drags on
// the view, and the waypoint table emptied before every test.

#include "AppHarness.h"
#include "CLabelSprite.h"
#include "CMarkSprite.h"
#include "CMarkView.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "Waypoints.h"

#include <QTest>

class CalibHarness : public AppHarness {
protected:
    void SetUp() override {
        AppHarness::SetUp();
        g_waypoints = {};
        g_nLastWaypoint = 0;
        g_nPlacedWaypoints = 0;
    }

    CMarkView& Marks() const { return dynamic_cast<CMarkView&>(View()); }
    QWidget* Viewport() const { return View().viewport(); }

    // Loads a plain picture of the given size through New Bitmap (F2).
    QString LoadPicture(const QString& name, QSize size) {
        const QString path = WriteBitmap(name, size);
        prompt.chosenFiles.push_back(path.toStdString());
        PressKey(Qt::Key_F2);
        EXPECT_EQ(Doc().GetMapWidth(), size.width());
        EXPECT_EQ(Doc().GetMapHeight(), size.height());
        return path;
    }

    // Resizes the main window so that the view's client area gets the given size.
    void SetClientSize(QSize size) {
        for (int i = 0; i < 3 && Viewport()->size() != size; ++i) {
            const QSize delta = size - Viewport()->size();
            Frame().resize(Frame().size() + delta);
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(Viewport()->size(), size);
    }

    // Scrolls at once, without the animation.
    void JumpTo(QPoint ptMap) {
        View().StopSmoothScroll();
        View().ScrollToPosition(ptMap);
        View().StopSmoothScroll();
        QCoreApplication::processEvents();
    }

    QPoint MarkPos(int k) const { return View().Mark(k)->GetPosition(); }
    QPoint LabelPos(int k) const { return View().Label(k)->GetPosition(); }
    int LabelAnchor(int k) const { return View().Label(k)->GetAnchor(); }
    QPoint ToClient(QPoint ptMap) const { return ptMap - View().GetScrollPosition(); }

    // Left-button drag in client coordinates: press, one move, release.
    void Drag(QPoint ptFrom, QPoint ptTo, bool bRelease = true) {
        QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, ptFrom);
        QTest::mouseMove(Viewport(), ptTo);
        if (bRelease) {
            QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, ptTo);
        }
        QCoreApplication::processEvents();
    }
    // Drags mark k from where it stands to a map point inside the client area.
    void DragMarkTo(int k, QPoint ptMap) {
        QPoint ptFrom = ToClient(MarkPos(k));
        QPoint ptTo = ToClient(ptMap);
        if (ptFrom.isNull()) {
            // QTest reads a null point as the middle of the widget: take hold one pixel off.
            ptFrom += QPoint(1, 1);
            ptTo += QPoint(1, 1);
        }
        Drag(ptFrom, ptTo);
    }

    int Listed() const { return View().Engine() != nullptr ? View().Engine()->GetCount() : -1; }
};
