// The desktop program in Qt's offscreen platform. Start: from InitInstance to the first paint
// of the map view. Scroll step: one line of scrolling in an 800 x 600 view and the repaint it
// causes; it must cost the same on a 1000 x 1000 map and on a 16000 x 16000 map, because only
// the strip that comes into view is copied from the picture.

#include "CGpsApp.h"
#include "CGpsView.h"
#include "CMainFrame.h"
#include "CRecordingPrompt.h"

#include "CGpsDoc.h"

#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <map>

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

void BM_ScrollStepPaint(benchmark::State& state) {
    const int nSide = static_cast<int>(state.range(0));
    auto& app = *CGpsApp::Instance();
    CRecordingPrompt prompt;
    app.SetPromptOverride(&prompt);
    UseFreshProfile();
    if (!app.InitInstance({})) {
        state.SkipWithError("the program did not start");
        return;
    }
    CGpsDoc& doc = *app.Document();
    if (doc.LoadBitmapFile(PictureFile(nSide).toStdString()) != 0) {
        state.SkipWithError("the picture did not load");
        app.ExitInstance();
        return;
    }
    CGpsView& view = *app.MainFrame()->View();
    // An 800 x 600 viewport.
    app.MainFrame()->resize(app.MainFrame()->size() + QSize(800, 600) - view.viewport()->size());
    QCoreApplication::processEvents();
    app.MainFrame()->resize(app.MainFrame()->size() + QSize(800, 600) - view.viewport()->size());
    QCoreApplication::processEvents();
    view.SetSmoothScroll(false);
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

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksWith<CGpsApp>(argc, argv);
}
