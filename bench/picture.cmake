# Loading a large map picture against plainly reading its file, and the peak memory of a load.
add_executable(bench_picture ${CMAKE_CURRENT_LIST_DIR}/PictureBench.cpp)
target_link_libraries(bench_picture PRIVATE mapreg::picture mapreg::warnings benchmark::benchmark)
set_target_properties(bench_picture PROPERTIES AUTOMOC OFF)
