// The view's exposed-area paint on a plain image: which picture pixel lands on each viewport
// pixel at a zoom level and scroll position, beside the picture the outside colour, both when
// rows go straight into the target image and through the scratch picture.

#include "display/CMapPyramid.h"
#include "display/CZoomedPainter.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <string>

#include <gtest/gtest.h>

using namespace mapreg;

namespace {

const QColor kOutside(1, 2, 3);

QRgb LetterColor(char letter) {
    return qRgb(10 * (letter - 'a' + 1), 50, 60);
}

// 8 x 4 pixels in 2 x 2 blocks lettered "abcd" over "efgh", so that the first reduced copy holds
// the same letters one pixel each.
QImage Picture() {
    QImage image(8, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const char* const letters = y < 2 ? "abcd" : "efgh";
            image.setPixel(x, y, LetterColor(letters[x / 2]));
        }
    }
    return image;
}

// The painted viewport as one line of letters per row ('.' for the outside colour).
std::string Letters(const QImage& image) {
    std::string text;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            text += c == kOutside.rgb() ? '.' : static_cast<char>('a' + qRed(c) / 10 - 1);
        }
        text += '\n';
    }
    return text;
}

} // namespace

TEST(ZoomedPainter, each_viewport_pixel_shows_the_picture_pixel_of_its_content_point) {
    const struct {
        const char* name;
        double factor;
        QPoint scroll;
        std::string expected; // a 5 x 3 viewport
    } rows[] = {
        {"actual_size", 1.0, {0, 0}, "aabbc\naabbc\neeffg\n"},
        {"actual_size_past_the_corner", 1.0, {5, 2}, "ghh..\nghh..\n.....\n"},
        {"enlarged", 2.0, {6, 3}, "bbccc\nffggg\nffggg\n"},
        {"exact_reduced_copy", 0.5, {0, 0}, "abcd.\nefgh.\n.....\n"},
        {"sampled_reduced_copy", 1.0 / std::sqrt(2.0), {0, 0}, "aabcc\naabcc\neefgg\n"},
        {"sampled_enlarged_scrolled", std::sqrt(2.0), {3, 2}, "bbbcc\nfffgg\nfffgg\n"},
    };
    const QImage picture = Picture();
    for (const auto& row : rows) {
        // RGB32 takes the rows directly; ARGB32 goes through the scratch picture.
        for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
            SCOPED_TRACE(std::string(row.name) + (format == QImage::Format_RGB32 ? "" : "_drawn"));
            CMapPyramid pyramid(&picture);
            const CMapZoom zoom(row.factor);
            const CZoomedPainter::Scene scene{
                &picture, &pyramid, zoom, row.scroll, zoom.ContentSize(picture.size()), kOutside};
            QImage target(5, 3, format);
            target.fill(Qt::white);
            CZoomedPainter painter;
            {
                QPainter p(&target);
                painter.Paint(p, QRegion(target.rect()), scene);
            }
            EXPECT_EQ(Letters(target), row.expected);
        }
    }
}
