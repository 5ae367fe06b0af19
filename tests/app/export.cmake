# File > Export driven through the real program and its menu.
add_executable(test_export_menu
    AppHarness.cpp
    AppTestMain.cpp
    ExportMenuTest.cpp
)
target_link_libraries(test_export_menu PRIVATE mapreg::app Qt6::Test GTest::gtest mapreg::warnings)
gtest_discover_tests(test_export_menu
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/config-export")
