# Benchmarks of the mouse-move path through the core: transform, UTM series, texts, parsing.
add_executable(bench_core ${CMAKE_CURRENT_SOURCE_DIR}/CoreBench.cpp)
target_link_libraries(bench_core PRIVATE mapreg::georef mapreg::coords benchmark::benchmark
    mapreg::warnings)
