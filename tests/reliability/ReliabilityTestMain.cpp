// The reliability tests run under a QGuiApplication on the offscreen platform, as the program
// does: the map picture is a QImage and the built-in world map comes from the Qt resources.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
