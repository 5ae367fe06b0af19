# The desktop program: start to first painted frame, and the repaint of one scroll step on a
# small and on a huge map (offscreen platform).
add_executable(bench_app ${CMAKE_CURRENT_LIST_DIR}/AppBench.cpp)
target_link_libraries(bench_app PRIVATE mapreg::app mapreg::warnings benchmark::benchmark)
