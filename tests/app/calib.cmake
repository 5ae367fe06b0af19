# Calibration marks, the calibration coordinates dialog and waypoints, driven through the real
# program and its widgets.
add_executable(test_calib
    AppHarness.cpp
    AppTestMain.cpp
    calib_dialog_test.cpp
    calib_flow_test.cpp
    calib_marks_test.cpp
)
target_link_libraries(test_calib PRIVATE mapreg::app Qt6::Test GTest::gtest mapreg::warnings)
gtest_discover_tests(test_calib
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/config-calib")
