// The sprite engine on real pixels: restore after removal, depth order, neighbours repainted,
// repainted rectangles, slot bookkeeping and the failure paths.
#include "CLabelSprite.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using EPurpose = ISpriteAllocator::EPurpose;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// Two boxes, back (depth 20) at (40, 40) and front (depth 10) at (50, 50), drawn.
struct SPair {
    explicit SPair(ISpriteHost* pHost = nullptr, ISpriteAllocator* pAllocator = nullptr)
        : engine(pHost, &surface, pAllocator) {
        back.SetPosition(40, 40);
        front.SetPosition(50, 50);
        engine.AddSprite(&back);
        engine.AddSprite(&front);
    }
    QImage surface = PatternSurface(120, 100);
    const QImage map = surface.copy();
    CSpriteEngine engine;
    CBoxSprite back{20, kRed};
    CBoxSprite front{10, kBlue};
};

} // namespace

TEST(SpriteEngine, removing_every_sprite_restores_the_picture_byte_for_byte) {
    // Figures: 'm' mark, 'l' label, 'p' pointer, overlapping and half outside the picture, each
    // placed, then moved in an update of its own.
    const struct {
        char cKind;
        QPoint ptStart;
        QPoint ptMoved;
    } figures[] = {{'p', {80, 70}, {30, 90}},   {'m', {60, 60}, {90, 80}},
                   {'l', {60, 60}, {90, 80}},   {'m', {-5, -5}, {118, 98}},
                   {'p', {115, 40}, {-30, 50}}, {'l', {70, 98}, {70, -10}},
                   {'m', {-300, 20}, {5, 5}}};
    for (const QImage::Format eFormat :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage surface = PatternSurface(120, 100, eFormat);
        const QImage map = surface.copy();
        CSpriteEngine engine(nullptr, &surface);
        std::vector<std::unique_ptr<CSprite>> sprites;
        for (const auto& f : figures) {
            const QSize size(48, 48);
            if (f.cKind == 'm') {
                sprites.push_back(std::make_unique<CMarkSprite>(10, size, 0x00FFFF));
            } else if (f.cKind == 'p') {
                sprites.push_back(std::make_unique<CPointerSprite>(30, size, 0xFF00FF));
            } else {
                sprites.push_back(std::make_unique<CLabelSprite>(11, size, 0x00FF00, 3, "1"));
            }
            sprites.back()->SetPosition(f.ptStart);
            ASSERT_TRUE(engine.AddSprite(sprites.back().get()));
        }
        ASSERT_EQ(engine.Update(), 0);
        for (std::size_t i = 0; i < sprites.size(); ++i) {
            sprites[i]->SetPosition(figures[i].ptMoved);
            ASSERT_EQ(engine.Update(), 0);
        }
        ASSERT_FALSE(SameBytes(surface, map));
        for (auto& pSprite : sprites) {
            EXPECT_TRUE(engine.RemoveSprite(pSprite.get()));
        }
        EXPECT_EQ(engine.Update(), 0);
        EXPECT_TRUE(SameBytes(surface, map)) << eFormat;
    }
}

TEST(SpriteEngine, smaller_depth_ends_on_top_whatever_the_order_of_changes) {
    // Each case first draws the pair as given, then moves both to (40, 40) and (50, 50).
    struct SCase {
        const char* pszName;
        bool bAddFrontFirst;
        QPoint ptBack;
        QPoint ptFront;
    };
    for (const SCase c : {SCase{"added_front_first", true, {40, 40}, {50, 50}},
                          SCase{"added_back_first", false, {40, 40}, {50, 50}},
                          SCase{"front_moved_onto_back", false, {40, 40}, {90, 80}},
                          SCase{"back_moved_under_front", true, {90, 80}, {50, 50}}}) {
        SCOPED_TRACE(c.pszName);
        QImage surface = PatternSurface(100, 100);
        CSpriteEngine engine(nullptr, &surface);
        CBoxSprite back(20, kRed), front(10, kBlue);
        back.SetPosition(c.ptBack);
        front.SetPosition(c.ptFront);
        engine.AddSprite(c.bAddFrontFirst ? &front : &back);
        engine.AddSprite(c.bAddFrontFirst ? &back : &front);
        ASSERT_EQ(engine.Update(), 0);
        back.SetPosition(40, 40);
        front.SetPosition(50, 50);
        ASSERT_EQ(engine.Update(), 0);
        EXPECT_EQ(surface.pixelColor(45, 45), kBlue); // overlap
        EXPECT_EQ(surface.pixelColor(35, 35), kRed);
        EXPECT_EQ(surface.pixelColor(55, 55), kBlue);
    }
}

TEST(SpriteEngine, neighbour_is_restored_where_a_moved_sprite_overdrew_it) {
    for (const bool bMoveFront : {true, false}) {
        SCOPED_TRACE(bMoveFront ? "front moves away" : "back moves away");
        CRecordingHost host;
        SPair pair(&host);
        ASSERT_EQ(pair.engine.Update(), 0);
        CBoxSprite& moved = bMoveFront ? pair.front : pair.back;
        const QRect rcOld = moved.GetRect();
        const QRect rcStay = (bMoveFront ? pair.back : pair.front).GetRect();
        moved.SetPosition(100, 80);
        host.rects.clear();
        ASSERT_EQ(pair.engine.Update(), 0);
        for (int y = rcOld.top(); y <= rcOld.bottom(); ++y) {
            for (int x = rcOld.left(); x <= rcOld.right(); ++x) {
                const QColor expected = !rcStay.contains(x, y) ? pair.map.pixelColor(x, y)
                                        : bMoveFront           ? kRed
                                                               : kBlue;
                ASSERT_EQ(pair.surface.pixelColor(x, y), expected) << x << "," << y;
            }
        }
        // The neighbour stood still: only the mover's old and new rectangles are repainted.
        EXPECT_EQ(host.rects, (std::vector<QRect>{rcOld, moved.GetRect()}));
    }
}

TEST(SpriteEngine, repaints_only_the_changed_rectangles) {
    CRecordingHost host;
    SPair pair(&host); // back (30, 30) - (49, 49), front (40, 40) - (59, 59)
    CBoxSprite far(30, kRed);
    far.SetPosition(100, 20);
    pair.engine.AddSprite(&far);
    const QRect rcBack(30, 30, 20, 20), rcFront(40, 40, 20, 20), rcFar(90, 10, 20, 20);
    struct SStep {
        const char* pszName;
        std::function<void()> change;
        std::vector<QRect> expected;
    };
    const SStep steps[] = {
        {"new_sprites_back_to_front", [] {}, {rcFar, rcBack, rcFront}},
        {"nothing_changed", [] {}, {}},
        {"move_repaints_old_new_and_overlapped_neighbour",
         [&] { pair.back.SetPosition(40, 42); },
         {rcBack, rcFront, rcBack.translated(0, 2), rcFront}},
        {"recolour_in_place", [&] { far.SetChanged(); }, {rcFar, rcFar}},
        {"removal_repaints_where_it_was", [&] { pair.engine.RemoveSprite(&far); }, {rcFar}},
    };
    for (const SStep& step : steps) {
        SCOPED_TRACE(step.pszName);
        host.rects.clear();
        step.change();
        ASSERT_EQ(pair.engine.Update(), 0);
        EXPECT_EQ(host.rects, step.expected);
    }
}

TEST(SpriteEngine, slots_follow_the_list_after_removals_in_the_middle) {
    QImage surface = PatternSurface(100, 100);
    CSpriteEngine engine(nullptr, &surface);
    std::vector<std::unique_ptr<CBoxSprite>> boxes;
    for (int i = 0; i < 6; ++i) {
        boxes.push_back(std::make_unique<CBoxSprite>(10, kRed));
        engine.AddSprite(boxes.back().get());
    }
    ASSERT_EQ(engine.Update(), 0);
    for (const int i : {1, 2, 4}) {
        engine.RemoveSprite(boxes[static_cast<std::size_t>(i)].get());
    }
    ASSERT_EQ(engine.Update(), 0);
    ASSERT_EQ(engine.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(engine.GetSprite(i)->GetSlot(), i);
    }
    EXPECT_EQ(engine.GetSprite(1), boxes[3].get());
    EXPECT_EQ(boxes[1]->GetEngine(), nullptr);
}

TEST(SpriteEngine, listing_rules) {
    SPair pair;
    CSpriteEngine other(nullptr, &pair.surface);
    CBoxSprite loose(10, kRed);
    EXPECT_FALSE(pair.engine.RemoveSprite(&loose)) << "listed nowhere";
    other.AddSprite(&loose);
    EXPECT_FALSE(pair.engine.RemoveSprite(&loose)) << "listed by another engine";
    EXPECT_FALSE(pair.engine.AddSprite(&loose)) << "listed by another engine";

    // Added and removed before any update: nothing drawn or restored, detached.
    pair.engine.RemoveSprite(&pair.back);
    EXPECT_EQ(pair.engine.Update(), 0);
    EXPECT_EQ(pair.engine.GetCount(), 1);
    EXPECT_EQ(pair.back.GetEngine(), nullptr);
    EXPECT_EQ(pair.surface.pixelColor(35, 35), pair.map.pixelColor(35, 35));

    // Added again while its removal is pending: listed once, drawn where it now stands.
    pair.engine.RemoveSprite(&pair.front);
    pair.front.SetPosition(20, 20);
    EXPECT_TRUE(pair.engine.AddSprite(&pair.front));
    EXPECT_EQ(pair.engine.Update(), 0);
    EXPECT_EQ(pair.engine.GetCount(), 1);
    EXPECT_EQ(pair.surface.pixelColor(20, 20), kBlue);
    EXPECT_EQ(pair.surface.pixelColor(50, 50), pair.map.pixelColor(50, 50));

    // A sprite destroyed while listed leaves the list.
    auto pBrief = std::make_unique<CBoxSprite>(10, kRed);
    pair.engine.AddSprite(pBrief.get());
    pBrief.reset();
    EXPECT_EQ(pair.engine.GetCount(), 1);
    EXPECT_EQ(pair.engine.Update(), 0);
}

TEST(SpriteEngine, resized_sprite_saves_and_restores_its_new_area) {
    SPair pair;
    ASSERT_EQ(pair.engine.Update(), 0);
    pair.front.SetSize(QSize(32, 24));
    ASSERT_EQ(pair.engine.Update(), 0);
    EXPECT_EQ(pair.front.GetBackgroundBuffer().size(), QSize(32, 24));
    pair.engine.RemoveSprite(&pair.front);
    pair.engine.RemoveSprite(&pair.back);
    ASSERT_EQ(pair.engine.Update(), 0);
    EXPECT_TRUE(SameBytes(pair.surface, pair.map));
}

TEST(SpriteEngineFailure, refused_list_growth_leaves_the_list_unchanged) {
    // The list has room for 50 from the start and grows by 10.
    for (const int nGranted : {0, 1, 2}) {
        SCOPED_TRACE(nGranted);
        QImage surface = PatternSurface(10, 10);
        CBudgetAllocator allocator;
        allocator.budget[static_cast<int>(EPurpose::SpriteList)] = nGranted;
        CSpriteEngine engine(nullptr, &surface, &allocator);
        const int nAccepted = nGranted == 0 ? 0 : 40 + 10 * nGranted;
        std::vector<std::unique_ptr<CBoxSprite>> boxes(static_cast<std::size_t>(nAccepted) + 1);
        for (auto& pBox : boxes) {
            pBox = std::make_unique<CBoxSprite>(10, kRed);
            EXPECT_EQ(engine.AddSprite(pBox.get()), pBox != boxes.back());
        }
        EXPECT_EQ(engine.GetCount(), nAccepted);
        EXPECT_EQ(boxes.back()->GetEngine(), nullptr);
        EXPECT_EQ(boxes.back()->GetSlot(), -1);
    }
}

TEST(SpriteEngineFailure, refused_update_memory_leaves_the_picture_and_is_retried) {
    struct SCase {
        EPurpose ePurpose;
        int nResult;
    };
    for (const SCase c : {SCase{EPurpose::WorkList, 1}, SCase{EPurpose::Background, 2}}) {
        SCOPED_TRACE(c.nResult);
        CBudgetAllocator allocator;
        SPair pair(nullptr, &allocator);
        allocator.budget[static_cast<int>(c.ePurpose)] = 0;
        EXPECT_EQ(pair.engine.Update(), c.nResult);
        EXPECT_TRUE(SameBytes(pair.surface, pair.map)) << "nothing drawn without a background";
        EXPECT_EQ(pair.front.GetEngine(), &pair.engine);
        allocator.budget[static_cast<int>(c.ePurpose)] = -1;
        EXPECT_EQ(pair.engine.Update(), 0);
        EXPECT_EQ(pair.surface.pixelColor(55, 55), kBlue);
    }
}

// A sprite that cannot draw is removed when it was being drawn anew, and stays listed and is
// retried when it was only to be repainted around a neighbour.
TEST(SpriteEngineFailure, sprite_that_cannot_draw_is_removed_when_new_and_retried_when_repainted) {
    CRecordingHost host;
    SPair pair(&host);
    pair.front.bFailDraw = true;
    EXPECT_EQ(pair.engine.Update(), 2);
    EXPECT_EQ(pair.engine.GetCount(), 1);
    EXPECT_EQ(pair.front.GetEngine(), nullptr);
    EXPECT_EQ(pair.surface.pixelColor(55, 55), pair.map.pixelColor(55, 55));
    EXPECT_EQ(host.rects.back(), pair.front.GetRect());

    pair.front.bFailDraw = false;
    ASSERT_TRUE(pair.engine.AddSprite(&pair.front));
    ASSERT_EQ(pair.engine.Update(), 0);
    pair.back.bFailDraw = true;
    pair.front.SetPosition(90, 80); // back must be repainted where front was
    EXPECT_EQ(pair.engine.Update(), 2);
    EXPECT_EQ(pair.back.GetEngine(), &pair.engine);
    pair.back.bFailDraw = false;
    EXPECT_EQ(pair.engine.Update(), 0);
    EXPECT_EQ(pair.surface.pixelColor(45, 45), kRed);
}
