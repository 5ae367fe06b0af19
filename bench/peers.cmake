# Comparisons with other programs and libraries.

# The floor of the start-up time: an empty QMainWindow that quits after its first frame.
add_executable(bench_minimal_window ${CMAKE_CURRENT_LIST_DIR}/MinimalWindow.cpp)
target_link_libraries(bench_minimal_window PRIVATE Qt6::Widgets mapreg::warnings)
set_target_properties(bench_minimal_window PROPERTIES AUTOMOC OFF)

# GeographicLib and PROJ for UTM, GDAL for loading pictures. These libraries are needed only
# here; scripts/bench installs them. Without them bench_peers is left out and everything else
# builds as before.
find_path(MAPREG_GEOGRAPHICLIB_INCLUDE GeographicLib/TransverseMercator.hpp)
find_library(MAPREG_GEOGRAPHICLIB_LIBRARY NAMES GeographicLib Geographic)
find_package(PROJ CONFIG QUIET)
find_package(GDAL CONFIG QUIET)
if(NOT MAPREG_GEOGRAPHICLIB_INCLUDE OR NOT MAPREG_GEOGRAPHICLIB_LIBRARY OR NOT TARGET PROJ::proj
   OR NOT TARGET GDAL::GDAL)
    message(STATUS "bench_peers left out: GeographicLib, PROJ or GDAL not found "
                   "(scripts/bench installs them)")
    return()
endif()

add_executable(bench_peers ${CMAKE_CURRENT_LIST_DIR}/PeersBench.cpp)
target_include_directories(bench_peers SYSTEM PRIVATE ${MAPREG_GEOGRAPHICLIB_INCLUDE})
target_link_libraries(bench_peers PRIVATE mapreg::coords mapreg::picture mapreg::warnings
    benchmark::benchmark ${MAPREG_GEOGRAPHICLIB_LIBRARY} PROJ::proj GDAL::GDAL)
set_target_properties(bench_peers PROPERTIES AUTOMOC OFF)
