# mapreg_add_test(<name> [MAIN gtest|gui|app] SOURCES <file>... [LIBRARIES <target>...]
#                 [PROPERTIES <property> <value>...])
#
# One GoogleTest executable of the suite, with our warnings, registered case by case with CTest.
# MAIN picks the test runner:
#   gtest  GoogleTest's own main (the default), for code without a Qt application object;
#   gui    a QGuiApplication on the offscreen platform (pictures, fonts, the Qt resources);
#   app    the desktop program's application object and the harness that drives it.
# Every case runs on the offscreen platform with a configuration folder (XDG_CONFIG_HOME) of its
# executable's own, so no test reads or writes the user's settings or another test's.
# PROPERTIES go to every case, after those.
function(mapreg_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "MAIN" "SOURCES;LIBRARIES;PROPERTIES")
    if(arg_UNPARSED_ARGUMENTS OR NOT arg_SOURCES)
        message(FATAL_ERROR "mapreg_add_test(${name}): unexpected ${arg_UNPARSED_ARGUMENTS} "
                            "or no SOURCES")
    endif()
    if(NOT arg_MAIN OR arg_MAIN STREQUAL "gtest")
        set(main GTest::gtest_main)
    elseif(arg_MAIN STREQUAL "gui")
        set(main mapreg::test_gui_main)
    elseif(arg_MAIN STREQUAL "app")
        set(main mapreg::test_app_harness)
    else()
        message(FATAL_ERROR "mapreg_add_test(${name}): unknown MAIN ${arg_MAIN}")
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} ${main} GTest::gtest mapreg::warnings)
    set(config ${PROJECT_BINARY_DIR}/test-config/${name})
    file(MAKE_DIRECTORY ${config})
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        # One variable per property: gtest_discover_tests flattens a list value into separate
        # arguments, which would turn the second variable and every later property into junk.
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   ENVIRONMENT_MODIFICATION "XDG_CONFIG_HOME=set:${config}"
                   ${arg_PROPERTIES})
endfunction()
