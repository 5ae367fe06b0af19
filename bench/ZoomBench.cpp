// Zoom on a 16000 x 16000 map in an 800 x 600 view (offscreen platform): one full paint of the
// viewport at Fit to Window, 50 %, 100 % and 800 %; one zoom step from the command to the painted
// frame once the reduced copies exist; and making one reduced copy against Qt's own smooth
// scaling to half size, with the memory all reduced copies take beside the picture.

#include "app/CGpsApp.h"
#include "app/CGpsView.h"
#include "app/CMainFrame.h"
#include "display/CMapPyramid.h"
#include "framework/CRecordingPrompt.h"

#include "display/CMapZoom.h"
#include "document/CGpsDoc.h"

#include <QImage>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace mapreg;

namespace {

constexpr int kSide = 16000;

// A picture with a diagonal pattern, so that averaging and copying see varied pixels.
const QImage& Picture(int nSide) {
    static QImage image;
    if (image.width() != nSide) {
        image = QImage();
        image = QImage(nSide, nSide, QImage::Format_RGB32);
        for (int y = 0; y < nSide; ++y) {
            auto* pRow = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < nSide; ++x) {
                pRow[x] = qRgb((x + y) & 0xFF, (x * 3) & 0xFF, (y * 5) & 0xFF);
            }
        }
    }
    return image;
}

void BM_PyramidHalfSize(benchmark::State& state) {
    const QImage& source = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QImage half = CMapPyramid::HalfSize(source);
        benchmark::DoNotOptimize(half.constBits());
    }
}
// Both use two threads on a large picture: wall-clock time.
BENCHMARK(BM_PyramidHalfSize)
    ->Arg(kSide)
    ->Arg(kSide / 2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_QtSmoothHalfSize(benchmark::State& state) {
    const QImage& source = Picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QImage half = source.scaled((source.width() + 1) / 2, (source.height() + 1) / 2,
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(half.constBits());
    }
}
BENCHMARK(BM_QtSmoothHalfSize)
    ->Arg(kSide)
    ->Arg(kSide / 2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_PyramidMemory(benchmark::State& state) {
    const QImage& source = Picture(kSide);
    double dRatio = 0.0;
    for (auto _ : state) {
        CMapPyramid pyramid(&source);
        pyramid.Level(CMapPyramid::kMaxLevel);
        dRatio = static_cast<double>(source.sizeInBytes() + pyramid.LevelBytes()) /
                 static_cast<double>(source.sizeInBytes());
    }
    state.counters["memory_ratio"] = dRatio;
}
BENCHMARK(BM_PyramidMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The program with the 16000 x 16000 picture in an 800 x 600 view, started once.
class CZoomScene {
public:
    CZoomScene() {
        m_app.SetPromptOverride(&m_prompt);
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        m_bReady = m_app.InitInstance({});
        if (!m_bReady) {
            return;
        }
        // Straight into the document's picture, without writing a file of a gigabyte.
        const QString path = m_dir.filePath(QStringLiteral("map.bmp"));
        QImage small(kSide, kSide, QImage::Format_Mono);
        small.setColorTable({qRgb(230, 220, 180), qRgb(40, 90, 160)});
        small.fill(0);
        for (int y = 0; y < kSide; y += 50) {
            for (int x = 0; x < kSide; ++x) {
                small.setPixel(x, y, 1);
            }
        }
        m_bReady =
            small.save(path, "BMP") && m_app.Document()->LoadBitmapFile(path.toStdString()) == 0;
        CMainFrame& frame = *m_app.MainFrame();
        for (int i = 0; i < 2; ++i) {
            frame.resize(frame.size() + QSize(800, 600) - View().viewport()->size());
            QCoreApplication::processEvents();
        }
    }
    ~CZoomScene() {
        m_app.ExitInstance();
        m_app.SetPromptOverride(nullptr);
    }
    CZoomScene(const CZoomScene&) = delete;
    CZoomScene& operator=(const CZoomScene&) = delete;

    bool IsReady() const { return m_bReady; }
    CGpsView& View() { return *m_app.MainFrame()->View(); }

private:
    CGpsApp& m_app = *CGpsApp::Instance();
    CRecordingPrompt m_prompt;
    QTemporaryDir m_dir;
    bool m_bReady = false;
};

std::unique_ptr<CZoomScene>& SceneHolder() {
    static std::unique_ptr<CZoomScene> pScene;
    return pScene;
}

CZoomScene& Scene() {
    if (!SceneHolder()) {
        SceneHolder() = std::make_unique<CZoomScene>();
    }
    return *SceneHolder();
}

// Arguments: the zoom in percent, 0 for Fit to Window.
void BM_ZoomPaint(benchmark::State& state) {
    if (!Scene().IsReady()) {
        state.SkipWithError("the program or the picture did not load");
        return;
    }
    CGpsView& view = Scene().View();
    view.ZoomActualSize();
    if (state.range(0) == 0) {
        view.ZoomToFit();
    } else {
        view.SetZoom(CMapZoom(static_cast<double>(state.range(0)) / 100.0));
    }
    view.SetSmoothScroll(false);
    const QSize sizeContent = view.ContentSize();
    view.ScrollToPosition(QPoint(sizeContent.width() / 2, sizeContent.height() / 2));
    view.viewport()->repaint(); // makes the reduced copy this level needs
    for (auto _ : state) {
        view.viewport()->repaint();
    }
    state.counters["zoom_percent"] = view.Zoom().Percent();
}
BENCHMARK(BM_ZoomPaint)->Arg(100)->Arg(0)->Arg(50)->Arg(800)->Unit(benchmark::kMicrosecond);

void BM_ZoomStep(benchmark::State& state) {
    if (!Scene().IsReady()) {
        state.SkipWithError("the program or the picture did not load");
        return;
    }
    CGpsView& view = Scene().View();
    view.SetZoom(CMapZoom(0.5));
    view.ZoomOut();
    view.viewport()->repaint();
    bool bIn = true;
    for (auto _ : state) {
        // Between 35 % and 50 %, each step painted.
        if (bIn) {
            view.ZoomIn();
        } else {
            view.ZoomOut();
        }
        bIn = !bIn;
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // The scene goes while the application object still exists.
    return RunBenchmarksWith<CGpsApp>(argc, argv, [] { SceneHolder().reset(); });
}
