// The figures: their geometry, the anchor table, sizes and colours, and on real pixels that
// every painted pixel lies in the bounding box and that painting twice changes nothing.
#include "CLabelSprite.h"
#include "CMarkSprite.h"
#include "CPointerSprite.h"
#include "SpriteTestSupport.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

namespace {

QImage Render(CSprite& sprite, const QImage& under) {
    QImage img = under.copy();
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    EXPECT_TRUE(sprite.Draw(painter));
    return img;
}

} // namespace

TEST(MarkSprite, shape_of_a_40_pixel_mark_at_100_100) {
    const CMarkSprite::SShape shape = CMarkSprite::ShapeFor(QPoint(100, 100), QSize(40, 40));
    EXPECT_EQ(shape.rcRing, QRect(QPoint(88, 88), QPoint(111, 111)));
    const QLine expected[] = {{100, 88, 100, 82},   {100, 112, 100, 118}, {88, 100, 82, 100},
                              {112, 100, 118, 100}, {100, 95, 100, 105},  {95, 100, 105, 100}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(shape.lines[i], expected[i]) << i;
    }
}

TEST(MarkSprite, paints_ring_and_tick_ends_in_its_colour_over_a_black_halo) {
    CMarkSprite mark(10, QSize(40, 40), 0x00FFFF);
    mark.SetPosition(100, 100);
    QImage under(200, 200, QImage::Format_RGB32);
    under.fill(Qt::white);
    const QImage img = Render(mark, under);
    const QColor yellow(255, 255, 0);
    EXPECT_EQ(img.pixelColor(100, 82), yellow) << "upper tick end";
    EXPECT_EQ(img.pixelColor(100, 118), yellow) << "lower tick end";
    EXPECT_EQ(img.pixelColor(82, 100), yellow) << "left tick end";
    EXPECT_EQ(img.pixelColor(100, 100), yellow) << "centre cross";
    EXPECT_EQ(img.pixelColor(101, 80), QColor(Qt::white)) << "beyond the tick halo";
    EXPECT_EQ(img.pixelColor(103, 82), QColor(Qt::white));
    // Along the diagonal the ring shows yellow between black halo pixels.
    bool bYellow = false, bBlackOutside = false;
    for (int d = 0; d < 12; ++d) {
        const QColor c = img.pixelColor(100 - 4 - d, 100 - 4 - d);
        bBlackOutside = bBlackOutside || (bYellow && c == QColor(Qt::black));
        bYellow = bYellow || c == yellow;
    }
    EXPECT_TRUE(bYellow && bBlackOutside);
}

TEST(PointerSprite, heading_turns_the_cross) {
    struct SCase {
        int nHeading;
        bool bUpright; // + rather than x
    };
    for (const SCase c : {SCase{0, false}, SCase{45, true}, SCase{90, false}, SCase{-45, true},
                          SCase{135, true}, SCase{360, false}}) {
        SCOPED_TRACE(c.nHeading);
        const auto shape = CPointerSprite::ShapeFor(QPoint(50, 50), QSize(40, 40), c.nHeading);
        for (const QLine& arm : shape.arms) {
            const bool bAxis = arm.dx() == 0 || arm.dy() == 0;
            EXPECT_EQ(bAxis, c.bUpright) << arm.p1().x() << "," << arm.p1().y() << " "
                                         << arm.p2().x() << "," << arm.p2().y();
        }
    }
    const auto up = CPointerSprite::ShapeFor(QPoint(50, 50), QSize(40, 40), 45);
    EXPECT_EQ(up.arms[0], QLine(50, 45, 50, 56)); // r1 = 5 up, r2 = 6 down
    EXPECT_EQ(up.rcRing, QRect(QPoint(42, 42), QPoint(57, 57)));
}

TEST(PointerSprite, heading_is_kept_modulo_360_with_its_sign) {
    struct SCase {
        int nSet;
        int nStored;
        int nDrawnLike;
    };
    for (const SCase c : {SCase{370, 10, 10}, SCase{-30, -30, 330}, SCase{720, 0, 0},
                          SCase{-360, 0, 0}, SCase{INT_MIN, -128, 232}, SCase{INT_MAX, 127, 127}}) {
        SCOPED_TRACE(c.nSet);
        CPointerSprite pointer(30, QSize(40, 40), 0x0000FF);
        pointer.SetPosition(50, 50);
        pointer.SetHeading(c.nSet);
        EXPECT_EQ(pointer.GetHeading(), c.nStored);
        CPointerSprite reference(30, QSize(40, 40), 0x0000FF);
        reference.SetPosition(50, 50);
        reference.SetHeading(c.nDrawnLike);
        const QImage under = PatternSurface(100, 100);
        EXPECT_EQ(Render(pointer, under), Render(reference, under));
    }
}

TEST(LabelSprite, anchor_table) {
    struct SCase {
        int nAnchor;
        QSize size;
        QPoint ptTip; // first arrow point after the one-pixel shift
        QPoint ptText;
        Qt::AlignmentFlag eAlign;
        QRect rcBox; // relative to the hot spot
    };
    const SCase cases[] = {
        {0, {40, 40}, {0, 21}, {0, 40}, Qt::AlignHCenter, QRect(-20, 20, 40, 40)},
        {1, {40, 40}, {-21, 21}, {-54, 40}, Qt::AlignLeft, QRect(-60, 20, 40, 40)},
        {2, {40, 40}, {-21, 0}, {-54, -10}, Qt::AlignLeft, QRect(-60, -20, 40, 40)},
        {3, {40, 40}, {-21, -21}, {-54, -60}, Qt::AlignLeft, QRect(-60, -60, 40, 40)},
        {4, {40, 40}, {0, -21}, {0, -60}, Qt::AlignHCenter, QRect(-20, -60, 40, 40)},
        {5, {40, 40}, {21, -21}, {54, -60}, Qt::AlignRight, QRect(20, -60, 40, 40)},
        {6, {40, 40}, {21, 0}, {54, -10}, Qt::AlignRight, QRect(20, -20, 40, 40)},
        {7, {40, 40}, {21, 21}, {54, 40}, Qt::AlignRight, QRect(20, 20, 40, 40)},
        // Odd sides: every percentage and half is truncated toward zero, also when negative.
        {1, {37, 37}, {-19, 19}, {-49, 37}, Qt::AlignLeft, QRect(-55, 18, 37, 37)},
        {3, {37, 21}, {-19, -11}, {-49, -31}, Qt::AlignLeft, QRect(-55, -31, 37, 21)},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nAnchor);
        const CLabelSprite::SLayout layout = CLabelSprite::LayoutFor(c.nAnchor, c.size);
        EXPECT_EQ(layout.arrow[0] + layout.ptShift, c.ptTip);
        EXPECT_EQ(layout.ptText, c.ptText);
        EXPECT_EQ(layout.eTextAlign, c.eAlign);
        CLabelSprite label(11, c.size, 0x00FF00, c.nAnchor, QStringLiteral("1"));
        label.SetPosition(200, 100);
        EXPECT_EQ(label.GetRect(), c.rcBox.translated(200, 100));
    }
}

TEST(LabelSprite, draws_a_black_outlined_arrow_and_text_with_a_shadow) {
    CLabelSprite label(11, QSize(40, 40), 0x00FF00, 0, QStringLiteral("1"));
    label.SetPosition(50, 20);
    QImage under(100, 100, QImage::Format_RGB32);
    under.fill(Qt::white);
    const QImage img = Render(label, under);
    const QColor green(0, 255, 0);
    EXPECT_EQ(img.pixelColor(50, 41), QColor(Qt::black)) << "arrow tip, outlined";
    EXPECT_EQ(img.pixelColor(50, 50), green) << "inside the shaft";
    int nGreen = 0, nBlack = 0;
    for (int y = 60; y < 80; ++y) {
        for (int x = 40; x < 60; ++x) {
            nGreen += img.pixelColor(x, y) == green;
            nBlack += img.pixelColor(x, y) == QColor(Qt::black);
        }
    }
    EXPECT_GT(nGreen, 10) << "the text";
    EXPECT_GT(nBlack, 5) << "its shadow";
}

TEST(LabelSprite, font_is_bold_serif_sized_from_the_figure) {
    for (const int nSide : {16, 40, 80, 128}) {
        SCOPED_TRACE(nSide);
        CLabelSprite label(11, QSize(nSide, nSide), 0x00FF00, 0, QStringLiteral("2"));
        ASSERT_TRUE(label.GetFont().has_value());
        const QFont& font = *label.GetFont();
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Serif"));
        EXPECT_TRUE(QFontInfo(font).bold());
        const QFontMetrics metrics(font);
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), nSide / 2, 1);
        EXPECT_NEAR(metrics.averageCharWidth(), nSide / 5, 1);
    }
}

TEST(Figures, every_painted_pixel_lies_in_the_bounding_box) {
    struct SCase {
        std::string strName;
        std::function<std::unique_ptr<CSprite>(QSize)> make;
    };
    std::vector<SCase> cases = {
        {"mark", [](QSize s) { return std::make_unique<CMarkSprite>(10, s, 0x00FFFF); }}};
    for (const int nHeading : {0, 10, 45, 77, 90, 200}) {
        cases.push_back({"pointer_heading_" + std::to_string(nHeading), [nHeading](QSize s) {
                             auto p = std::make_unique<CPointerSprite>(30, s, 0xFF00FF);
                             p->SetHeading(nHeading);
                             return p;
                         }});
    }
    for (int nAnchor = 0; nAnchor < CLabelSprite::kAnchorCount; ++nAnchor) {
        cases.push_back({"label_anchor_" + std::to_string(nAnchor), [nAnchor](QSize s) {
                             return std::make_unique<CLabelSprite>(11, s, 0x00FF00, nAnchor,
                                                                   QStringLiteral("3"));
                         }});
    }
    const QImage under = PatternSurface(400, 400);
    for (const SCase& c : cases) {
        for (const QSize size : {QSize(16, 16), QSize(17, 23), QSize(40, 40), QSize(64, 64),
                                 QSize(80, 80), QSize(128, 128), QSize(128, 16)}) {
            SCOPED_TRACE(c.strName + " " + std::to_string(size.width()) + "x" +
                         std::to_string(size.height()));
            auto pSprite = c.make(size);
            pSprite->SetPosition(200, 200);
            const QImage once = Render(*pSprite, under);
            const QRect rcPainted = DiffBounds(under, once);
            EXPECT_FALSE(rcPainted.isNull());
            EXPECT_TRUE(pSprite->GetRect().contains(rcPainted))
                << "painted " << rcPainted.left() << "," << rcPainted.top() << " to "
                << rcPainted.right() << "," << rcPainted.bottom();
            // Repainting a figure over itself (an engine's second pass) changes nothing.
            EXPECT_TRUE(SameBytes(Render(*pSprite, once), once));
        }
    }
}

TEST(Figures, size_colour_and_kind) {
    CMarkSprite mark(10, QSize(10, 10), 0xFF123456);
    EXPECT_EQ(mark.GetSize(), QSize(36, 36)) << "refused size falls back";
    EXPECT_EQ(mark.GetColor(), 0x123456u);
    EXPECT_EQ(mark.GetKind(), 2);
    EXPECT_EQ(CPointerSprite(30, QSize(129, 40), 0).GetSize(), QSize(36, 36));
    EXPECT_EQ(CPointerSprite(30, QSize(40, 40), 0).GetKind(), 3);
    CLabelSprite label(11, QSize(40, 15), 0xAB00FF00, 0, QStringLiteral("1"));
    EXPECT_EQ(label.GetSize(), QSize(36, 36));
    EXPECT_EQ(label.GetColor(), 0x00FF00u);
    EXPECT_EQ(label.GetKind(), 1);
    EXPECT_EQ(ColorFromColorRef(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromColorRef(0xFF8000), QColor(0, 128, 255));

    struct SCase {
        QSize size;
        bool bAccepted;
    };
    for (const SCase c : {SCase{{16, 16}, true}, SCase{{128, 128}, true}, SCase{{15, 40}, false},
                          SCase{{40, 15}, false}, SCase{{129, 40}, false}, SCase{{40, 129}, false},
                          SCase{{-40, 40}, false}}) {
        SCOPED_TRACE(std::to_string(c.size.width()) + "x" + std::to_string(c.size.height()));
        for (CSprite* pSprite : std::initializer_list<CSprite*>{&mark, &label}) {
            const QSize sizeBefore = pSprite->GetSize();
            const QRect rcBefore = pSprite->GetRect();
            EXPECT_EQ(pSprite->SetSize(c.size), c.bAccepted);
            EXPECT_EQ(pSprite->GetSize(), c.bAccepted ? c.size : sizeBefore);
            if (!c.bAccepted) {
                EXPECT_EQ(pSprite->GetRect(), rcBefore);
            }
            pSprite->SetSize(QSize(36, 36));
        }
    }

    EXPECT_FALSE(label.SetAnchor(8));
    EXPECT_FALSE(label.SetAnchor(-1));
    EXPECT_EQ(label.GetAnchor(), 0);
    mark.SetPosition(INT_MAX, INT_MIN);
    EXPECT_EQ(mark.GetPosition(), QPoint(CSprite::kPositionLimit, -CSprite::kPositionLimit));
}
