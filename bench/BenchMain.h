#pragma once
// The main function of the benchmarks that need a Qt application object: the offscreen
// platform unless another is chosen, the benchmarks named on the command line, then atEnd
// (if given) while the application object still exists.

#include <QtGlobal>

#include <benchmark/benchmark.h>

namespace mapreg {

template <class Application>
int RunBenchmarksWith(int argc, char** argv, void (*atEnd)() = nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (atEnd != nullptr) {
        atEnd();
    }
    return 0;
}

} // namespace mapreg
