# Sprite engine and figures, checked on real pixels (needs a QGuiApplication for the fonts).
add_executable(test_sprites
    ${CMAKE_CURRENT_LIST_DIR}/SpriteTestMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpriteEngineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpriteFigureTest.cpp)
target_link_libraries(test_sprites PRIVATE mapreg::sprites mapreg::warnings GTest::gtest)
set_target_properties(test_sprites PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_sprites PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
