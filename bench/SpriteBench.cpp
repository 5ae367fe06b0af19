// One drag step of a calibration mark and its label, as the view does it on every mouse move:
// move both, then one engine update. The cost must follow the figures touched, not the map:
// a 1000 x 1000 map alone and a 16000 x 16000 map with 100 waypoint pointers cost the same.
#include "display/CLabelSprite.h"
#include "display/CMarkSprite.h"
#include "display/CPointerSprite.h"
#include "display/CSpriteEngine.h"

#include <QGuiApplication>
#include <QImage>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

using namespace mapreg;

namespace {

constexpr int kFigureSide = 40;

struct SScene {
    QImage surface;
    std::unique_ptr<CMarkSprite> pMark;
    std::unique_ptr<CLabelSprite> pLabel;
    std::vector<std::unique_ptr<CPointerSprite>> pointers;
    std::unique_ptr<CSpriteEngine> pEngine;
};

// Scenes are built once per size: filling a 16000 x 16000 picture takes a while.
SScene& SceneFor(int nSide, int nPointers) {
    static std::map<int, std::unique_ptr<SScene>> scenes;
    auto& pScene = scenes[nSide];
    if (pScene != nullptr) {
        return *pScene;
    }
    pScene = std::make_unique<SScene>();
    SScene& scene = *pScene;
    scene.surface = QImage(nSide, nSide, QImage::Format_RGB32);
    scene.surface.fill(QColor(200, 190, 150));
    scene.pEngine = std::make_unique<CSpriteEngine>(nullptr, &scene.surface);
    const QSize size(kFigureSide, kFigureSide);
    for (int i = 0; i < nPointers; ++i) {
        auto pPointer = std::make_unique<CPointerSprite>(30, size, 0x0000FF);
        const int nRange = nSide - 100;
        // Every tenth pointer stands on the drag line, so the mark passes over it.
        const int y = i % 10 == 0 ? nSide / 2 : 50 + (i * 104729) % nRange;
        pPointer->SetPosition(50 + (i * 7919) % nRange, y);
        scene.pEngine->AddSprite(pPointer.get());
        scene.pointers.push_back(std::move(pPointer));
    }
    scene.pMark = std::make_unique<CMarkSprite>(10, size, 0x00FFFF);
    scene.pLabel = std::make_unique<CLabelSprite>(11, size, 0x00FFFF, 0, QStringLiteral("1"));
    scene.pEngine->AddSprite(scene.pMark.get());
    scene.pEngine->AddSprite(scene.pLabel.get());
    scene.pEngine->Update();
    return scene;
}

void BM_DragMarkStep(benchmark::State& state) {
    const int nSide = static_cast<int>(state.range(0));
    SScene& scene = SceneFor(nSide, static_cast<int>(state.range(1)));
    const int y = nSide / 2;
    int x = 50;
    for (auto _ : state) {
        x = x + 3 < nSide - 50 ? x + 3 : 50;
        scene.pMark->SetPosition(x, y);
        scene.pLabel->SetPosition(x, y);
        benchmark::DoNotOptimize(scene.pEngine->Update());
    }
}

} // namespace

BENCHMARK(BM_DragMarkStep)
    ->ArgNames({"map", "pointers"})
    ->Args({1000, 0})
    ->Args({16000, 100})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunBenchmarksWith<QGuiApplication>(argc, argv); // the label font needs it
}
