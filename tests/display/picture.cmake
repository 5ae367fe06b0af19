# The map picture on real .bmp files written by the tests; no window needed.
add_executable(test_picture ${CMAKE_CURRENT_LIST_DIR}/MapBitmapTest.cpp)
target_link_libraries(test_picture PRIVATE mapreg::picture mapreg::warnings GTest::gtest_main)
set_target_properties(test_picture PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_picture PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
