// The desktop program in Qt's offscreen platform. Start: from InitInstance to the first paint
// of the map view. Scroll step: one line of scrolling in an 800 x 600 view and the repaint it
// causes; it must cost the same on a 1000 x 1000 map and on a 16000 x 16000 map, because only
// the strip that comes into view is copied from the picture. Dragging a control point among 100
// on a huge map: a mouse move, and a whole drag with its drop.

#include "app/CGpsApp.h"
#include "app/CGpsView.h"
#include "app/CMainFrame.h"
#include "framework/CRecordingPrompt.h"

#include "document/CGpsDoc.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <map>

using namespace mapreg;

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

void UseFreshProfile() {
    static int nRun = 0;
    const QString config = Folder().filePath(QStringLiteral("config%1").arg(++nRun));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
}

void WaitForFirstPaint(CGpsApp& app) {
    while (app.MainFrame()->View()->PaintCount() == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

void BM_StartToFirstFrame(benchmark::State& state) {
    auto& app = *CGpsApp::Instance();
    CRecordingPrompt prompt;
    app.SetPromptOverride(&prompt);
    for (auto _ : state) {
        state.PauseTiming();
        UseFreshProfile();
        state.ResumeTiming();
        if (!app.InitInstance({})) {
            state.SkipWithError("the program did not start");
            break;
        }
        WaitForFirstPaint(app);
        state.PauseTiming();
        app.ExitInstance();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    app.SetPromptOverride(nullptr);
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

// A one-bit picture file of side x side pixels (small on disk; the program holds it in 32 bits).
QString PictureFile(int nSide) {
    const QString path = Folder().filePath(QStringLiteral("map%1.bmp").arg(nSide));
    if (!QFile::exists(path)) {
        QImage image(nSide, nSide, QImage::Format_Mono);
        image.setColorTable({qRgb(230, 220, 180), qRgb(40, 90, 160)});
        image.fill(0);
        // A grid, so that the copied pixels are not all alike.
        for (int y = 0; y < nSide; y += 50) {
            for (int x = 0; x < nSide; ++x) {
                image.setPixel(x, y, 1);
            }
        }
        image.save(path, "BMP");
    }
    return path;
}

// Starts the program on a picture of side x side pixels in an 800 x 600 view (with the control
// points' table docked beside it when asked), scrolling without animation; null, with the
// benchmark skipped, when it cannot.
CGpsView* StartWithPicture(benchmark::State& state, CGpsApp& app, int nSide, bool bPointsDock) {
    UseFreshProfile();
    if (!app.InitInstance({})) {
        state.SkipWithError("the program did not start");
        return nullptr;
    }
    if (app.Document()->LoadBitmapFile(PictureFile(nSide).toStdString()) != 0) {
        state.SkipWithError("the picture did not load");
        app.ExitInstance();
        return nullptr;
    }
    CGpsView& view = *app.MainFrame()->View();
    if (bPointsDock) {
        app.MainFrame()->CommandAction(ID_MAP_CONTROL_POINTS)->trigger();
    }
    for (int i = 0; i < 2; ++i) {
        app.MainFrame()->resize(app.MainFrame()->size() + QSize(800, 600) -
                                view.viewport()->size());
        QCoreApplication::processEvents();
    }
    view.SetSmoothScroll(false);
    return &view;
}

void BM_ScrollStepPaint(benchmark::State& state) {
    const int nSide = static_cast<int>(state.range(0));
    auto& app = *CGpsApp::Instance();
    CRecordingPrompt prompt;
    app.SetPromptOverride(&prompt);
    CGpsView* pView = StartWithPicture(state, app, nSide, false);
    if (pView == nullptr) {
        return;
    }
    CGpsView& view = *pView;
    view.ScrollTo(nSide / 2, nSide / 2);
    WaitForFirstPaint(app);
    QCoreApplication::processEvents();

    const int nStep = view.verticalScrollBar()->singleStep();
    int nDirection = 1;
    for (auto _ : state) {
        // One line down (or back up), then the repaint of the strip that came into view.
        view.verticalScrollBar()->triggerAction(nDirection > 0
                                                    ? QAbstractSlider::SliderSingleStepAdd
                                                    : QAbstractSlider::SliderSingleStepSub);
        nDirection = -nDirection;
        QCoreApplication::processEvents();
    }
    state.counters["viewport"] = view.viewport()->width() * 1000.0 + view.viewport()->height();
    state.counters["step_px"] = nStep;
    app.ExitInstance();
    app.SetPromptOverride(nullptr);
}
BENCHMARK(BM_ScrollStepPaint)->Arg(1000)->Arg(16000)->Unit(benchmark::kMicrosecond);

// A mouse event of the left button at a point of the view's viewport, as the window system sends
// it.
void SendMouse(QWidget& viewport, QEvent::Type type, QPoint ptClient) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(ptClient), viewport.mapToGlobal(QPointF(ptClient)),
                      Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&viewport, &event);
    QCoreApplication::processEvents();
}

// 100 control points on a 16000 x 16000 map with their table shown, in an 800 x 600 view.
// Argument 0: one mouse move of a dragged point (its figure follows the mouse). Argument 1: one
// whole drag ending in the drop, which moves the point in the document as an undo step, fits the
// 100 points again with every leave-one-out fit, and refills the table and the figures. Each must
// take less than a frame (16 ms).
void BM_ControlPointDrag(benchmark::State& state) {
    const bool bDrop = state.range(0) != 0;
    constexpr int kSide = 16000;
    auto& app = *CGpsApp::Instance();
    CRecordingPrompt prompt;
    app.SetPromptOverride(&prompt);
    CGpsView* pView = StartWithPicture(state, app, kSide, true);
    if (pView == nullptr) {
        return;
    }
    CGpsView& view = *pView;
    CGpsDoc& doc = *app.Document();
    view.ScrollTo(0, 0);
    // A 10 x 10 grid of points in view, on a map of 1e-5 degrees per pixel with a little noise.
    std::vector<ControlPoint> points;
    for (int i = 0; i < 100; ++i) {
        const double x = 40.0 + 70.0 * (i % 10);
        const double y = 30.0 + 50.0 * (i / 10);
        const double noise = 1e-6 * ((i * 37) % 11 - 5);
        points.push_back({{x, y}, {10.0 + x * 1e-5 + noise, 50.0 - y * 1e-5 - noise}, true});
    }
    doc.SetControlPointList(points);
    WaitForFirstPaint(app);
    QCoreApplication::processEvents();

    QWidget& viewport = *view.viewport();
    const QPoint ptPoint(40 + 70 * 5 - view.horizontalScrollBar()->value(),
                         30 + 50 * 5 - view.verticalScrollBar()->value()); // point 55
    if (!bDrop) {
        SendMouse(viewport, QEvent::MouseButtonPress, ptPoint);
    }
    int nStep = 0;
    for (auto _ : state) {
        // To and fro by 3 pixels, so that every move changes the point.
        const QPoint ptFrom = ptPoint + QPoint(3 * (nStep % 2), 0);
        const QPoint ptTo = ptPoint + QPoint(3 * (1 - nStep % 2), 0);
        ++nStep;
        if (bDrop) {
            SendMouse(viewport, QEvent::MouseButtonPress, ptFrom);
            SendMouse(viewport, QEvent::MouseMove, ptTo);
            SendMouse(viewport, QEvent::MouseButtonRelease, ptTo);
        } else {
            SendMouse(viewport, QEvent::MouseMove, ptTo);
        }
    }
    if (!bDrop) {
        SendMouse(viewport, QEvent::MouseButtonRelease, ptPoint);
    }
    state.counters["points"] = static_cast<double>(doc.GetControlPoints().size());
    state.counters["moved"] = doc.GetControlPoints()[55].picture.x;
    app.ExitInstance();
    app.SetPromptOverride(nullptr);
}
BENCHMARK(BM_ControlPointDrag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksWith<CGpsApp>(argc, argv);
}
