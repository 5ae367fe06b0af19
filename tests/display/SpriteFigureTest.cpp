// The figures: geometry, the anchor table, sizes, colours and headings, and on real pixels that
// every painted pixel lies in the bounding box and that painting twice changes nothing.
#include "CLabelSprite.h"
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
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    EXPECT_TRUE(sprite.Draw(painter));
    return img;
}

} // namespace

TEST(MarkSprite, ring_and_ticks_of_a_40_pixel_mark_at_100_100) {
    CMarkSprite mark(10, QSize(40, 40), 0x00FFFF);
    mark.SetPosition(100, 100);
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage img = Render(mark, white);
    const QColor yellow(255, 255, 0), black(Qt::black);
    // clang-format off
    const std::pair<QPoint, QColor> pixels[] = {
        {{100, 84}, yellow}, {{116, 100}, yellow}, {{99, 84}, black}, {{100, 79}, Qt::white}, // ticks
        {{91, 91}, yellow}, {{111, 100}, yellow}, {{93, 91}, black}, {{95, 95}, Qt::white},   // ring
        {{100, 100}, yellow}};                                                               // centre
    // clang-format on
    for (const auto& [pt, color] : pixels) {
        EXPECT_EQ(img.pixelColor(pt), color) << pt.x() << "," << pt.y();
    }
}

TEST(PointerSprite, heading_is_kept_modulo_360_and_turns_the_cross) {
    struct SCase {
        int nSet;
        int nStored;
        int nDrawnLike;
        bool bUpright; // + rather than x (checked at multiples of 45)
    };
    for (const SCase c :
         {SCase{0, 0, 0, false}, SCase{45, 45, 45, true}, SCase{90, 90, 90, false},
          SCase{370, 10, 10, false}, SCase{-30, -30, 330, false}, SCase{-315, -315, 45, true},
          SCase{INT_MIN, -128, 232, false}, SCase{INT_MAX, 127, 127, false}}) {
        SCOPED_TRACE(c.nSet);
        CPointerSprite pointer(30, QSize(40, 40), 0x0000FF), reference(30, QSize(40, 40), 0xFF);
        pointer.SetPosition(50, 50);
        reference.SetPosition(50, 50);
        pointer.SetHeading(c.nSet);
        reference.SetHeading(c.nDrawnLike);
        EXPECT_EQ(pointer.GetHeading(), c.nStored);
        const QImage under = PatternSurface(100, 100);
        EXPECT_EQ(Render(pointer, under), Render(reference, under));
        for (const QLine& arm : CPointerSprite::ShapeFor({50, 50}, {40, 40}, c.nSet).arms) {
            if (c.nDrawnLike % 45 == 0) {
                EXPECT_EQ(arm.dx() == 0 || arm.dy() == 0, c.bUpright);
            }
        }
    }
    EXPECT_EQ(CPointerSprite::ShapeFor({50, 50}, {40, 40}, 45).arms[0], QLine(50, 45, 50, 56));
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
        // Odd sides: percentages and halves are truncated toward zero, also when negative.
        {1, {37, 37}, {-19, 19}, {-49, 37}, Qt::AlignLeft, QRect(-55, 18, 37, 37)},
        {3, {37, 21}, {-19, -11}, {-49, -31}, Qt::AlignLeft, QRect(-55, -31, 37, 21)},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nAnchor);
        const CLabelSprite::SLayout layout = CLabelSprite::LayoutFor(c.nAnchor, c.size);
        EXPECT_EQ(layout.arrow[0] + layout.ptShift, c.ptTip);
        EXPECT_EQ(layout.ptText, c.ptText);
        EXPECT_EQ(layout.eTextAlign, c.eAlign);
        CLabelSprite label(11, c.size, 0x00FF00, c.nAnchor, "1");
        label.SetPosition(200, 100);
        EXPECT_EQ(label.GetRect(), c.rcBox.translated(200, 100));
    }
}

TEST(LabelSprite, bold_serif_text_sized_from_the_figure_over_an_outlined_arrow) {
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
    CLabelSprite label(11, QSize(40, 40), 0x00FF00, 0, "1");
    label.SetPosition(50, 20);
    QImage white(100, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage img = Render(label, white);
    EXPECT_EQ(img.pixelColor(50, 41), QColor(Qt::black)) << "arrow tip, outlined";
    EXPECT_EQ(img.pixelColor(50, 50), QColor(0, 255, 0)) << "arrow shaft";
    int nGreen = 0, nBlack = 0; // the text below the arrow and its shadow
    for (int y = 60; y < 80; ++y) {
        for (int x = 40; x < 60; ++x) {
            nGreen += img.pixelColor(x, y) == QColor(0, 255, 0);
            nBlack += img.pixelColor(x, y) == QColor(Qt::black);
        }
    }
    EXPECT_GT(nGreen, 10);
    EXPECT_GT(nBlack, 5);
}

TEST(Figures, every_painted_pixel_lies_in_the_box_and_repainting_changes_nothing) {
    std::vector<std::pair<std::string, std::function<std::unique_ptr<CSprite>(QSize)>>> makers = {
        {"mark", [](QSize s) { return std::make_unique<CMarkSprite>(10, s, 0x00FFFF); }}};
    for (const int nHeading : {0, 10, 45, 77, 200}) {
        makers.emplace_back("pointer_" + std::to_string(nHeading), [nHeading](QSize s) {
            auto p = std::make_unique<CPointerSprite>(30, s, 0xFF00FF);
            p->SetHeading(nHeading);
            return p;
        });
    }
    for (int nAnchor = 0; nAnchor < CLabelSprite::kAnchorCount; ++nAnchor) {
        makers.emplace_back("label_" + std::to_string(nAnchor), [nAnchor](QSize s) {
            return std::make_unique<CLabelSprite>(11, s, 0x00FF00, nAnchor, "3");
        });
    }
    const QImage under = PatternSurface(400, 400);
    for (const auto& [strName, make] : makers) {
        for (const QSize size : {QSize(16, 16), QSize(17, 23), QSize(40, 40), QSize(80, 80),
                                 QSize(128, 128), QSize(128, 16)}) {
            SCOPED_TRACE(strName + " " + std::to_string(size.width()) + "x" +
                         std::to_string(size.height()));
            auto pSprite = make(size);
            pSprite->SetPosition(200, 200);
            const QImage once = Render(*pSprite, under);
            QRect rcPainted;
            for (int y = 0; y < under.height(); ++y) {
                for (int x = 0; x < under.width(); ++x) {
                    rcPainted |=
                        under.pixel(x, y) != once.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
                }
            }
            EXPECT_FALSE(rcPainted.isNull());
            EXPECT_TRUE(pSprite->GetRect().contains(rcPainted));
            EXPECT_TRUE(SameBytes(Render(*pSprite, once), once)) << "second pass repaint";
        }
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
    EXPECT_EQ(mark.GetPosition(), QPoint(CSprite::kPositionLimit, -CSprite::kPositionLimit));
}
