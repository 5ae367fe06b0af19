// One application object for the whole test program; each test starts and ends its own
// instance of the program on it.

#include "app/CGpsApp.h"

#include <gtest/gtest.h>

using namespace mapreg;

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("MAPREG_CLI")) {
        qputenv("MAPREG_CLI", MAPREG_TEST_CLI);
    }
    CGpsApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
