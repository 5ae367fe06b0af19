// The view at 100 % against a fingerprint of the pixels that an earlier build painted for the same
// scene: the built-in world map beside the window's shadow strip, waypoint pointers (two of them
// overlapping) and the calibration marks with their labels. Set MAPREG_PRINT_GOLDEN=1 to print
// the fingerprint of the current build instead of comparing.

#include "AppHarness.h"

#include <QCryptographicHash>
#include <QImage>
#include <QTest>

#include <cstdio>

namespace {

// SHA-256 of the viewport's pixels (32-bit, row by row) as painted before the view could zoom.
constexpr const char* kGolden = "6a86851d7668ec3b88acde273c296f168ce5664e3eda77a3795b8673ef1c7ecf";

QByteArray Fingerprint(const QImage& shot) {
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int y = 0; y < image.height(); ++y) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                    image.width() * 4));
    }
    return hash.result().toHex();
}

} // namespace

using ViewGolden = AppHarness;

TEST_F(ViewGolden, the_view_at_100_percent_paints_what_it_always_painted) {
    Start();
    SetClientSize({1040, 300});
    JumpTo({0, 150});
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    for (const QPoint pt : {QPoint(120, 60), QPoint(131, 70), QPoint(700, 200)}) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, pt);
    }
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    const QByteArray print = Fingerprint(Viewport()->grab().toImage());
    if (qEnvironmentVariableIsSet("MAPREG_PRINT_GOLDEN")) {
        std::printf("golden %s\n", print.constData());
    }
    EXPECT_EQ(print, QByteArray(kGolden));
}
