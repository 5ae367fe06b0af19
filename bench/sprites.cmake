# Dragging a mark over small and huge maps: the cost of an engine update per mouse move.
add_executable(bench_sprites ${CMAKE_CURRENT_LIST_DIR}/SpriteBench.cpp)
target_link_libraries(bench_sprites PRIVATE mapreg::sprites mapreg::warnings benchmark::benchmark)
set_target_properties(bench_sprites PROPERTIES AUTOMOC OFF)
