// The view at 100 % against a fingerprint of the pixels that an earlier build painted for the same
// scene: a patterned picture beside the window's shadow strip, scrolled, with the calibration
// marks and their labels, two of the marks overlapping. Set MAPREG_PRINT_GOLDEN=1 to print the
// fingerprint of the current build instead of comparing.

#include "AppHarness.h"

#include <QCryptographicHash>
#include <QImage>
#include <QTest>

#include <cstdio>

using namespace mapreg;

namespace {

// SHA-256 of the viewport's pixels (32-bit, row by row) as painted before the view could zoom.
constexpr const char* kGolden = "e3808f20aa1390f870f023af00a6694bfad9d5cf26054a302c55d07a994fc6f8";

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
    LoadPatternPicture({700, 450});
    SetClientSize({760, 300});
    JumpTo({0, 120});
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    DragMarkTo(2, MarkPos(0) + QPoint(15, 10));
    QCoreApplication::processEvents();
    const QByteArray print = Fingerprint(Viewport()->grab().toImage());
    if (qEnvironmentVariableIsSet("MAPREG_PRINT_GOLDEN")) {
        std::printf("golden %s\n", print.constData());
    }
    EXPECT_EQ(print, QByteArray(kGolden));
}
