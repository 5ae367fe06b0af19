// The figures on real pixels, each against a description of its own: rings, ticks, crosses and
// arms, the label's arrow and text for every anchor at two sizes; headings, the label font and
// refused sizes. That every figure stays in its box at any size is checked by the engine tests.
#include "SpriteTestSupport.h"
#include "display/CLabelSprite.h"
#include "display/CPointerSprite.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPen>

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace mapreg;

namespace {

const QColor kYellow(255, 255, 0); // COLORREF 0x00FFFF
const QColor kGreen(0, 255, 0);

QImage White() {
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QImage Render(CSprite& sprite, const QImage& under = White()) {
    QImage img = under.copy();
    QPainter painter(&img);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    EXPECT_TRUE(sprite.Draw(painter));
    return img;
}

// A ring figure as described: a black halo (ring 5 pixels wide, lines 3, round ends) under the
// yellow ring (2 pixels) and lines (1 pixel, flat ends, the end point left out).
QImage RingPicture(QRect rcRing, std::initializer_list<QLine> lines) {
    QImage img = White();
    QPainter painter(&img);
    for (const auto& [color, nRing, nLine] :
         {std::tuple{QColor(Qt::black), 5, 3}, std::tuple{kYellow, 2, 1}}) {
        painter.setPen(QPen(color, nRing, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawEllipse(
            QRectF(rcRing.left(), rcRing.top(), rcRing.width() - 1, rcRing.height() - 1));
        painter.setPen(QPen(color, nLine, Qt::SolidLine, nLine > 1 ? Qt::RoundCap : Qt::FlatCap,
                            Qt::RoundJoin));
        for (const QLine& line : lines) {
            painter.drawLine(line);
        }
    }
    return img;
}

} // namespace

// Marks: ring at 5/16 of each side, ticks out to 2 pixels short of the box, a cross of 1/8 of the
// sides. Pointers: ring at 1/5 of the sides, arms of an eighth of the smaller side, turned by the
// heading. All at (100, 100).
TEST(Figures, rings_ticks_crosses_and_arms_match_their_description_at_two_sizes) {
    CMarkSprite mark40(10, QSize(40, 40), 0x00FFFF), mark80(10, QSize(80, 56), 0x00FFFF);
    CPointerSprite pointer40(30, QSize(40, 40), 0x00FFFF), pointer80(30, QSize(80, 56), 0x00FFFF);
    pointer80.SetHeading(45);
    const struct {
        CSprite* pSprite;
        QImage expected;
    } cases[] = {
        {&mark40, RingPicture(QRect(88, 88, 24, 24), {{100, 88, 100, 82},
                                                      {100, 112, 100, 118},
                                                      {88, 100, 82, 100},
                                                      {112, 100, 118, 100},
                                                      {100, 95, 100, 105},
                                                      {95, 100, 105, 100}})},
        {&mark80, RingPicture(QRect(75, 83, 50, 34), {{100, 83, 100, 74},
                                                      {100, 117, 100, 126},
                                                      {75, 100, 62, 100},
                                                      {125, 100, 138, 100},
                                                      {100, 93, 100, 107},
                                                      {90, 100, 110, 100}})},
        {&pointer40, RingPicture(QRect(92, 92, 16, 16), {{97, 97, 104, 104}, {97, 103, 104, 96}})},
        {&pointer80,
         RingPicture(QRect(84, 89, 32, 22), {{100, 93, 100, 108}, {93, 100, 108, 100}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pSprite->GetKind() * 1000 + c.pSprite->GetSize().width());
        c.pSprite->SetPosition(100, 100);
        EXPECT_EQ(Render(*c.pSprite), c.expected);
    }
}

TEST(PointerSprite, heading_is_kept_modulo_360_and_turns_the_cross) {
    struct SCase {
        int nSet;
        int nStored;
        int nDrawnLike;
    };
    for (const SCase c :
         {SCase{0, 0, 0}, SCase{45, 45, 45}, SCase{370, 10, 10}, SCase{-30, -30, 330},
          SCase{-315, -315, 45}, SCase{INT_MIN, -128, 232}, SCase{INT_MAX, 127, 127}}) {
        SCOPED_TRACE(c.nSet);
        CPointerSprite pointer(30, QSize(40, 40), 0x0000FF), reference(30, QSize(40, 40), 0xFF);
        pointer.SetPosition(50, 50);
        reference.SetPosition(50, 50);
        pointer.SetHeading(c.nSet);
        reference.SetHeading(c.nDrawnLike);
        EXPECT_EQ(pointer.GetHeading(), c.nStored);
        const QImage under = PatternSurface(100, 100);
        EXPECT_EQ(Render(pointer, under), Render(reference, under));
    }
}

// The arrow (a black outline around the label colour) and the text (black, and in the label
// colour one pixel up and to the left) for every anchor, relative to the hot spot at (100, 100):
// the text's reference point is the top of the text, at its centre, left or right end.
TEST(LabelSprite, arrow_text_and_box_for_every_anchor_at_two_sizes) {
    enum EAlign { kCentre, kLeftEnd, kRightEnd };
    struct SCase {
        int nAnchor;
        QSize size;
        std::array<QPoint, 7> arrow;
        QPoint ptText;
        EAlign eAlign;
        QRect rcBox;
    };
    // clang-format off
    const SCase cases[] = {
        {0, {40, 40}, {{{0, 21}, {-10, 31}, {-2, 27}, {-2, 41}, {2, 41}, {2, 27}, {10, 31}}}, {0, 40}, kCentre, {-20, 20, 40, 40}},
        {1, {40, 40}, {{{-21, 21}, {-35, 21}, {-26, 23}, {-38, 35}, {-35, 38}, {-23, 26}, {-21, 35}}}, {-54, 40}, kLeftEnd, {-60, 20, 40, 40}},
        {2, {40, 40}, {{{-21, 0}, {-31, -10}, {-27, -2}, {-41, -2}, {-41, 2}, {-27, 2}, {-31, 10}}}, {-54, -10}, kLeftEnd, {-60, -20, 40, 40}},
        {3, {40, 40}, {{{-21, -21}, {-35, -21}, {-26, -23}, {-38, -35}, {-35, -38}, {-23, -26}, {-21, -35}}}, {-54, -60}, kLeftEnd, {-60, -60, 40, 40}},
        {4, {40, 40}, {{{0, -21}, {-10, -31}, {-2, -27}, {-2, -41}, {2, -41}, {2, -27}, {10, -31}}}, {0, -60}, kCentre, {-20, -60, 40, 40}},
        {5, {40, 40}, {{{21, -21}, {35, -21}, {26, -23}, {38, -35}, {35, -38}, {23, -26}, {21, -35}}}, {54, -60}, kRightEnd, {20, -60, 40, 40}},
        {6, {40, 40}, {{{21, 0}, {31, -10}, {27, -2}, {41, -2}, {41, 2}, {27, 2}, {31, 10}}}, {54, -10}, kRightEnd, {20, -20, 40, 40}},
        {7, {40, 40}, {{{21, 21}, {35, 21}, {26, 23}, {38, 35}, {35, 38}, {23, 26}, {21, 35}}}, {54, 40}, kRightEnd, {20, 20, 40, 40}},
        // Odd sides: percentages and halves are truncated toward zero, also when negative.
        {0, {37, 21}, {{{0, 11}, {-9, 16}, {-1, 14}, {-1, 22}, {1, 22}, {1, 14}, {9, 16}}}, {0, 21}, kCentre, {-18, 10, 37, 21}},
        {1, {37, 21}, {{{-19, 11}, {-33, 11}, {-24, 12}, {-35, 19}, {-32, 20}, {-22, 14}, {-19, 19}}}, {-49, 21}, kLeftEnd, {-55, 10, 37, 21}},
        {2, {37, 21}, {{{-19, 0}, {-28, -5}, {-25, -1}, {-38, -1}, {-38, 1}, {-25, 1}, {-28, 5}}}, {-49, -5}, kLeftEnd, {-55, -10, 37, 21}},
        {3, {37, 21}, {{{-19, -11}, {-33, -11}, {-24, -12}, {-35, -19}, {-32, -20}, {-22, -14}, {-19, -19}}}, {-49, -31}, kLeftEnd, {-55, -31, 37, 21}},
        {4, {37, 21}, {{{0, -11}, {-9, -16}, {-1, -14}, {-1, -22}, {1, -22}, {1, -14}, {9, -16}}}, {0, -31}, kCentre, {-18, -31, 37, 21}},
        {5, {37, 21}, {{{19, -11}, {33, -11}, {24, -12}, {35, -19}, {32, -20}, {22, -14}, {19, -19}}}, {49, -31}, kRightEnd, {18, -31, 37, 21}},
        {6, {37, 21}, {{{19, 0}, {28, -5}, {25, -1}, {38, -1}, {38, 1}, {25, 1}, {28, 5}}}, {49, -5}, kRightEnd, {18, -10, 37, 21}},
        {7, {37, 21}, {{{19, 11}, {33, 11}, {24, 12}, {35, 19}, {32, 20}, {22, 14}, {19, 19}}}, {49, 21}, kRightEnd, {18, 10, 37, 21}},
    };
    // clang-format on
    const QPoint ptHot(100, 100);
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.nAnchor) + " " + std::to_string(c.size.width()));
        CLabelSprite label(11, c.size, 0x00FF00, c.nAnchor, "12");
        label.SetPosition(ptHot);
        EXPECT_EQ(label.GetRect(), c.rcBox.translated(ptHot));

        QImage expected = White();
        QPainter painter(&expected);
        painter.setPen(Qt::black);
        painter.setBrush(kGreen);
        std::array<QPoint, 7> arrow = c.arrow;
        for (QPoint& pt : arrow) {
            pt += ptHot;
        }
        painter.drawPolygon(arrow.data(), 7);
        const QFont font = label.GetFont().value();
        const int nWidth = QFontMetrics(font).horizontalAdvance("12");
        const QPoint ptBaseline = ptHot + c.ptText +
                                  QPoint(c.eAlign == kCentre     ? -nWidth / 2
                                         : c.eAlign == kRightEnd ? -nWidth
                                                                 : 0,
                                         QFontMetrics(font).ascent());
        painter.setFont(font);
        painter.drawText(ptBaseline, "12");
        painter.setPen(kGreen);
        painter.drawText(ptBaseline - QPoint(1, 1), "12");
        painter.end();
        EXPECT_EQ(Render(label), expected);
    }
}

TEST(LabelSprite, bold_serif_font_sized_from_the_figure) {
    for (const int nSide : {16, 40, 80, 128}) {
        SCOPED_TRACE(nSide);
        CLabelSprite label(11, QSize(nSide, nSide), 0x00FF00, 0, "2");
        const QFont font = label.GetFont().value();
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Serif"));
        EXPECT_TRUE(QFontInfo(font).bold());
        const QFontMetrics metrics(font);
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), nSide / 2, 1);
        EXPECT_NEAR(metrics.averageCharWidth(), nSide / 5, 1);
    }
}

TEST(Figures, refused_sizes_anchors_and_positions_change_nothing) {
    CMarkSprite mark(10, QSize(10, 10), 0xFF123456);
    CLabelSprite label(11, QSize(40, 15), 0xAB00FF00, 0, "1");
    EXPECT_EQ(mark.GetSize(), QSize(36, 36)) << "refused size falls back";
    EXPECT_EQ(label.GetSize(), QSize(36, 36));
    EXPECT_EQ(mark.GetColor(), 0x123456u) << "the top byte is not part of the colour";
    EXPECT_EQ(ColorFromColorRef(0xFF8000), QColor(0, 128, 255));

    for (const QSize size : {QSize(16, 16), QSize(128, 128), QSize(15, 40), QSize(40, 15),
                             QSize(129, 40), QSize(40, 129), QSize(-40, 40)}) {
        const bool bAccepted = size.width() >= 16 && size.width() <= 128 && size.height() >= 16 &&
                               size.height() <= 128;
        for (CSprite* pSprite : std::initializer_list<CSprite*>{&mark, &label}) {
            pSprite->SetSize(QSize(36, 36));
            const QRect rcBefore = pSprite->GetRect();
            EXPECT_EQ(pSprite->SetSize(size), bAccepted);
            EXPECT_TRUE(bAccepted || pSprite->GetRect() == rcBefore);
            EXPECT_EQ(pSprite->GetRect().size(), bAccepted ? size : QSize(36, 36));
        }
    }
    EXPECT_FALSE(label.SetAnchor(8));
    EXPECT_FALSE(label.SetAnchor(-1));
    EXPECT_EQ(label.GetAnchor(), 0);
    mark.SetPosition(INT_MAX, INT_MIN);
    EXPECT_EQ(mark.GetPosition(), QPoint(1 << 30, -(1 << 30)));
}
