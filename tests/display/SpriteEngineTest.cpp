// The sprite engine on real pixels: restore after removal, depth order, neighbours repainted,
// repainted rectangles, slot bookkeeping and every failure path.
#include "CLabelSprite.h"
#include "CMarkSprite.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using EPurpose = ISpriteAllocator::EPurpose;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);

struct SRemovalCase {
    const char* pszName;
    QImage::Format eFormat;
    // Adds sprites, moves them through several updates; the test then removes them all.
    std::function<void(CSpriteEngine&, std::vector<std::unique_ptr<CSprite>>&)> play;
};

// Keeps gtest from dumping the case's bytes in test names.
void PrintTo(const SRemovalCase& c, std::ostream* pOut) {
    *pOut << c.pszName;
}

void Place(CSpriteEngine& engine, std::vector<std::unique_ptr<CSprite>>& sprites,
           std::unique_ptr<CSprite> pSprite, QPoint pt) {
    pSprite->SetPosition(pt);
    ASSERT_TRUE(engine.AddSprite(pSprite.get()));
    sprites.push_back(std::move(pSprite));
}

void PlayFigures(CSpriteEngine& engine, std::vector<std::unique_ptr<CSprite>>& sprites) {
    Place(engine, sprites, std::make_unique<CMarkSprite>(10, QSize(40, 40), 0x00FFFF), {60, 60});
    Place(engine, sprites,
          std::make_unique<CLabelSprite>(11, QSize(40, 40), 0x00FFFF, 0, QStringLiteral("1")),
          {60, 60});
    Place(engine, sprites, std::make_unique<CPointerSprite>(30, QSize(64, 64), 0xFF00FF), {80, 70});
    ASSERT_EQ(engine.Update(), 0);
    sprites[0]->SetPosition(90, 80); // onto the pointer
    static_cast<CLabelSprite*>(sprites[1].get())->SetAnchor(5);
    ASSERT_EQ(engine.Update(), 0);
    sprites[2]->SetPosition(30, 120); // the pointer leaves the mark
    ASSERT_EQ(engine.Update(), 0);
}

void PlayHalfOutside(CSpriteEngine& engine, std::vector<std::unique_ptr<CSprite>>& sprites) {
    for (const QPoint pt : {QPoint(-5, -5), QPoint(155, 40), QPoint(70, 118), QPoint(-300, 20)}) {
        Place(engine, sprites, std::make_unique<CMarkSprite>(10, QSize(64, 64), 0x00FF00), pt);
    }
    ASSERT_EQ(engine.Update(), 0);
    sprites[0]->SetPosition(158, 118); // across the picture, into the opposite corner
    sprites[1]->SetPosition(-30, 50);
    ASSERT_EQ(engine.Update(), 0);
}

void PlayResize(CSpriteEngine& engine, std::vector<std::unique_ptr<CSprite>>& sprites) {
    Place(engine, sprites, std::make_unique<CBoxSprite>(20, kRed, 30), {50, 50});
    Place(engine, sprites, std::make_unique<CBoxSprite>(10, kBlue, 30), {70, 60});
    ASSERT_EQ(engine.Update(), 0);
    ASSERT_TRUE(sprites[0]->SetSize(QSize(64, 16)));
    sprites[1]->SetPosition(52, 52);
    ASSERT_EQ(engine.Update(), 0);
}

class RemovalRestoresPicture : public ::testing::TestWithParam<SRemovalCase> {};

} // namespace

TEST_P(RemovalRestoresPicture, surface_is_byte_identical_after_every_sprite_is_removed) {
    QImage surface = PatternSurface(160, 120, GetParam().eFormat);
    const QImage before = surface.copy();
    CRecordingHost host;
    CSpriteEngine engine(&host, &surface);
    std::vector<std::unique_ptr<CSprite>> sprites;
    GetParam().play(engine, sprites);
    ASSERT_FALSE(SameBytes(surface, before)) << "the figures should have been drawn";
    for (auto& pSprite : sprites) {
        EXPECT_TRUE(engine.RemoveSprite(pSprite.get()));
    }
    EXPECT_EQ(engine.Update(), 0);
    EXPECT_EQ(engine.GetCount(), 0);
    EXPECT_TRUE(SameBytes(surface, before));
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, RemovalRestoresPicture,
    ::testing::Values(
        SRemovalCase{"figures_rgb32", QImage::Format_RGB32, PlayFigures},
        SRemovalCase{"figures_argb32pm", QImage::Format_ARGB32_Premultiplied, PlayFigures},
        SRemovalCase{"half_outside_rgb32", QImage::Format_RGB32, PlayHalfOutside},
        SRemovalCase{"half_outside_argb32pm", QImage::Format_ARGB32_Premultiplied, PlayHalfOutside},
        SRemovalCase{"resized_rgb32", QImage::Format_RGB32, PlayResize}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.pszName); });

TEST(SpriteEngine, smaller_depth_ends_on_top_whatever_the_order_of_changes) {
    enum EStart { kTogether, kFrontAway, kBackAway };
    struct SCase {
        const char* pszName;
        bool bAddFrontFirst;
        EStart eStart; // apart at first, then brought together by a second update
    };
    for (const SCase c :
         {SCase{"added_front_first", true, kTogether}, SCase{"added_back_first", false, kTogether},
          SCase{"front_moved_onto_back", false, kFrontAway},
          SCase{"back_moved_under_front", true, kBackAway}}) {
        SCOPED_TRACE(c.pszName);
        QImage surface = PatternSurface(100, 100);
        CSpriteEngine engine(nullptr, &surface);
        CBoxSprite back(20, kRed);
        CBoxSprite front(10, kBlue);
        back.SetPosition(c.eStart == kBackAway ? QPoint(85, 85) : QPoint(40, 40));
        front.SetPosition(c.eStart == kFrontAway ? QPoint(85, 85) : QPoint(50, 50));
        ASSERT_TRUE(engine.AddSprite(c.bAddFrontFirst ? &front : &back));
        ASSERT_TRUE(engine.AddSprite(c.bAddFrontFirst ? &back : &front));
        ASSERT_EQ(engine.Update(), 0);
        back.SetPosition(40, 40);
        front.SetPosition(50, 50);
        ASSERT_EQ(engine.Update(), 0);
        EXPECT_EQ(surface.pixelColor(45, 45), kBlue); // overlap
        EXPECT_EQ(surface.pixelColor(35, 35), kRed);  // back only
        EXPECT_EQ(surface.pixelColor(55, 55), kBlue); // front only
    }
}

TEST(SpriteEngine, neighbour_is_restored_where_a_moved_sprite_overdrew_it) {
    for (const bool bMoveFront : {true, false}) {
        SCOPED_TRACE(bMoveFront ? "front moves away" : "back moves away");
        QImage surface = PatternSurface(120, 100);
        const QImage map = surface.copy();
        CRecordingHost host;
        CSpriteEngine engine(&host, &surface);
        CBoxSprite back(20, kRed);
        CBoxSprite front(10, kBlue);
        back.SetPosition(40, 40);
        front.SetPosition(50, 50);
        engine.AddSprite(&back);
        engine.AddSprite(&front);
        ASSERT_EQ(engine.Update(), 0);
        CBoxSprite& moved = bMoveFront ? front : back;
        CBoxSprite& staying = bMoveFront ? back : front;
        const QRect rcOld = moved.GetRect();
        moved.SetPosition(100, 80);
        host.rects.clear();
        ASSERT_EQ(engine.Update(), 0);
        const QColor stayColor = bMoveFront ? kRed : kBlue;
        const QRect rcStay = staying.GetRect();
        for (int y = rcOld.top(); y <= rcOld.bottom(); ++y) {
            for (int x = rcOld.left(); x <= rcOld.right(); ++x) {
                const QColor expected = rcStay.contains(x, y) ? stayColor : map.pixelColor(x, y);
                ASSERT_EQ(surface.pixelColor(x, y), expected) << x << "," << y;
            }
        }
        // The neighbour stood still: only the mover's old and new rectangles are repainted.
        EXPECT_EQ(host.rects, (std::vector<QRect>{rcOld, moved.GetRect()}));
    }
}

TEST(SpriteEngine, repaints_only_the_changed_rectangles) {
    QImage surface = PatternSurface(200, 100);
    CRecordingHost host;
    CSpriteEngine engine(&host, &surface);
    CBoxSprite a(20, kRed), b(10, kBlue), far(30, kGreen);
    a.SetPosition(30, 30);
    b.SetPosition(45, 30); // overlaps a
    far.SetPosition(150, 50);
    struct SStep {
        const char* pszName;
        std::function<void()> change;
        std::vector<QRect> expected;
    };
    const std::vector<SStep> steps = {
        {"first_update_paints_each_new_rectangle",
         [&] {
             engine.AddSprite(&a);
             engine.AddSprite(&b);
             engine.AddSprite(&far);
         },
         // drawn back to front
         {QRect(140, 40, 20, 20), QRect(20, 20, 20, 20), QRect(35, 20, 20, 20)}},
        {"nothing_changed_nothing_painted", [] {}, {}},
        {"move_erases_old_and_draws_new_with_the_overlapping_neighbour",
         [&] { a.SetPosition(30, 32); },
         {QRect(20, 20, 20, 20), QRect(35, 20, 20, 20), QRect(20, 22, 20, 20),
          QRect(35, 20, 20, 20)}},
        {"recolour_in_place_repaints_its_rectangle",
         [&] { far.SetChanged(); },
         {QRect(140, 40, 20, 20), QRect(140, 40, 20, 20)}},
        {"removal_repaints_only_where_it_was",
         [&] { engine.RemoveSprite(&far); },
         {QRect(140, 40, 20, 20)}},
    };
    for (const SStep& step : steps) {
        SCOPED_TRACE(step.pszName);
        host.rects.clear();
        step.change();
        ASSERT_EQ(engine.Update(), 0);
        EXPECT_EQ(host.rects, step.expected);
    }
}

TEST(SpriteEngine, slots_follow_the_list_after_removals_in_the_middle) {
    QImage surface = PatternSurface(100, 100);
    CSpriteEngine engine(nullptr, &surface);
    std::vector<std::unique_ptr<CBoxSprite>> boxes;
    for (int i = 0; i < 6; ++i) {
        boxes.push_back(std::make_unique<CBoxSprite>(10, kRed));
        boxes.back()->SetPosition(10 + 15 * i, 20);
        ASSERT_TRUE(engine.AddSprite(boxes.back().get()));
    }
    ASSERT_EQ(engine.Update(), 0);
    engine.RemoveSprite(boxes[1].get());
    engine.RemoveSprite(boxes[2].get());
    engine.RemoveSprite(boxes[4].get());
    ASSERT_EQ(engine.Update(), 0);
    ASSERT_EQ(engine.GetCount(), 3);
    for (int i = 0; i < engine.GetCount(); ++i) {
        EXPECT_EQ(engine.GetSprite(i)->GetSlot(), i);
    }
    EXPECT_EQ(engine.GetSprite(1), boxes[3].get());
    EXPECT_EQ(boxes[1]->GetEngine(), nullptr);
}

TEST(SpriteEngine, listing_rules) {
    QImage surface = PatternSurface(100, 100);
    const QImage map = surface.copy();
    auto pEngine = std::make_unique<CSpriteEngine>(nullptr, &surface);
    CSpriteEngine other(nullptr, &surface);
    CBoxSprite box(10, kRed), loose(10, kBlue);
    box.SetPosition(50, 50);

    EXPECT_EQ(pEngine->Update(), 0) << "empty engine";
    EXPECT_TRUE(SameBytes(surface, map));
    EXPECT_FALSE(pEngine->RemoveSprite(&loose)) << "listed nowhere";
    ASSERT_TRUE(other.AddSprite(&loose));
    EXPECT_FALSE(pEngine->RemoveSprite(&loose)) << "listed by another engine";
    EXPECT_FALSE(pEngine->AddSprite(&loose)) << "listed by another engine";

    // Added and removed before any update: nothing drawn, nothing restored, detached.
    ASSERT_TRUE(pEngine->AddSprite(&box));
    ASSERT_TRUE(pEngine->RemoveSprite(&box));
    EXPECT_EQ(pEngine->Update(), 0);
    EXPECT_EQ(pEngine->GetCount(), 0);
    EXPECT_EQ(box.GetEngine(), nullptr);
    EXPECT_TRUE(SameBytes(surface, map));

    // Added back while its removal is pending: it stays listed, once, and drawn.
    ASSERT_TRUE(pEngine->AddSprite(&box));
    ASSERT_EQ(pEngine->Update(), 0);
    pEngine->RemoveSprite(&box);
    box.SetPosition(20, 20);
    ASSERT_TRUE(pEngine->AddSprite(&box));
    ASSERT_EQ(pEngine->Update(), 0);
    EXPECT_EQ(pEngine->GetCount(), 1);
    EXPECT_EQ(surface.pixelColor(20, 20), kRed);
    EXPECT_EQ(surface.pixelColor(50, 50), map.pixelColor(50, 50));

    // A sprite destroyed while listed leaves the list; the engine's end detaches the rest.
    {
        CBoxSprite brief(10, kGreen);
        pEngine->AddSprite(&brief);
        EXPECT_EQ(pEngine->GetCount(), 2);
    }
    EXPECT_EQ(pEngine->GetCount(), 1);
    EXPECT_EQ(pEngine->Update(), 0);
    pEngine.reset();
    EXPECT_EQ(box.GetEngine(), nullptr);
}

TEST(SpriteEngine, background_buffer_is_kept_while_the_size_stays) {
    QImage surface = PatternSurface(100, 100);
    CSpriteEngine engine(nullptr, &surface);
    CBoxSprite box(10, kRed, 20);
    box.SetPosition(30, 30);
    engine.AddSprite(&box);
    ASSERT_EQ(engine.Update(), 0);
    const uchar* pBuffer = box.GetBackgroundBuffer().constBits();
    box.SetPosition(60, 40);
    ASSERT_EQ(engine.Update(), 0);
    EXPECT_EQ(box.GetBackgroundBuffer().constBits(), pBuffer);
    ASSERT_TRUE(box.SetSize(QSize(32, 24)));
    ASSERT_EQ(engine.Update(), 0);
    EXPECT_EQ(box.GetBackgroundBuffer().size(), QSize(32, 24));
    engine.RemoveSprite(&box);
    ASSERT_EQ(engine.Update(), 0);
    EXPECT_EQ(box.GetBackgroundBuffer().size(), QSize(32, 24)) << "kept across removal";
}

TEST(SpriteEngineFailure, list_growth_refused_leaves_the_list_unchanged) {
    struct SCase {
        const char* pszName;
        int nGrantedListAllocations; // counting the initial one
        int nAcceptedAdds;
    };
    for (const SCase c : {SCase{"initial_room_refused", 0, 0}, SCase{"growth_refused", 1, 50},
                          SCase{"second_growth_refused", 2, 60}}) {
        SCOPED_TRACE(c.pszName);
        QImage surface = PatternSurface(100, 100);
        CBudgetAllocator allocator;
        allocator.Set(EPurpose::SpriteList, c.nGrantedListAllocations);
        CSpriteEngine engine(nullptr, &surface, &allocator);
        std::vector<std::unique_ptr<CBoxSprite>> boxes;
        for (int i = 0; i < c.nAcceptedAdds; ++i) {
            boxes.push_back(std::make_unique<CBoxSprite>(10, kRed));
            ASSERT_TRUE(engine.AddSprite(boxes.back().get())) << i;
        }
        CBoxSprite refused(10, kBlue);
        EXPECT_FALSE(engine.AddSprite(&refused));
        EXPECT_EQ(engine.GetCount(), c.nAcceptedAdds);
        EXPECT_EQ(refused.GetEngine(), nullptr);
        EXPECT_EQ(refused.GetSlot(), -1);
        EXPECT_EQ(engine.Update(), 0);
        allocator.Set(EPurpose::SpriteList, -1);
        EXPECT_TRUE(engine.AddSprite(&refused)) << "retried once memory is there";
    }
}

TEST(SpriteEngineFailure, list_starts_with_fifty_slots_and_grows_by_ten) {
    QImage surface = PatternSurface(10, 10);
    CBudgetAllocator allocator;
    CSpriteEngine engine(nullptr, &surface, &allocator);
    std::vector<std::unique_ptr<CBoxSprite>> boxes;
    for (int i = 0; i < 61; ++i) {
        boxes.push_back(std::make_unique<CBoxSprite>(10, kRed));
        ASSERT_TRUE(engine.AddSprite(boxes.back().get()));
    }
    ASSERT_EQ(allocator.requests.size(), 3u);
    const std::size_t nSlotBytes = allocator.requests[0].nBytes / 50;
    EXPECT_EQ(allocator.requests[0].nBytes, 50 * nSlotBytes);
    EXPECT_EQ(allocator.requests[1].nBytes, 60 * nSlotBytes);
    EXPECT_EQ(allocator.requests[2].nBytes, 70 * nSlotBytes);
}

TEST(SpriteEngineFailure, update_without_work_list_does_nothing_and_is_retried) {
    QImage surface = PatternSurface(100, 100);
    const QImage map = surface.copy();
    CBudgetAllocator allocator;
    CRecordingHost host;
    CSpriteEngine engine(&host, &surface, &allocator);
    CBoxSprite box(10, kRed);
    box.SetPosition(50, 50);
    engine.AddSprite(&box);
    allocator.Set(EPurpose::WorkList, 0);
    EXPECT_EQ(engine.Update(), 1);
    EXPECT_TRUE(SameBytes(surface, map));
    EXPECT_TRUE(host.rects.empty());
    allocator.Set(EPurpose::WorkList, -1);
    EXPECT_EQ(engine.Update(), 0);
    EXPECT_EQ(surface.pixelColor(50, 50), kRed);
}

TEST(SpriteEngineFailure, sprite_without_background_stays_undrawn_and_is_retried) {
    QImage surface = PatternSurface(100, 100);
    const QImage map = surface.copy();
    CBudgetAllocator allocator;
    CSpriteEngine engine(nullptr, &surface, &allocator);
    CBoxSprite box(10, kRed), other(10, kBlue);
    box.SetPosition(30, 30);
    other.SetPosition(70, 70);
    engine.AddSprite(&box);
    engine.AddSprite(&other);
    allocator.Set(EPurpose::Background, 1); // the second buffer is refused
    EXPECT_EQ(engine.Update(), 2);
    EXPECT_EQ(surface.pixelColor(30, 30), kRed);
    EXPECT_EQ(surface.pixelColor(70, 70), map.pixelColor(70, 70)) << "not drawn";
    EXPECT_EQ(other.GetEngine(), &engine);
    EXPECT_TRUE(other.IsChanged());
    allocator.Set(EPurpose::Background, -1);
    EXPECT_EQ(engine.Update(), 0);
    EXPECT_EQ(surface.pixelColor(70, 70), kBlue);
    engine.RemoveSprite(&box);
    engine.RemoveSprite(&other);
    EXPECT_EQ(engine.Update(), 0);
    EXPECT_TRUE(SameBytes(surface, map));
}

TEST(SpriteEngineFailure, sprite_that_cannot_draw_anew_is_removed) {
    QImage surface = PatternSurface(100, 100);
    const QImage map = surface.copy();
    CRecordingHost host;
    CSpriteEngine engine(&host, &surface);
    CBoxSprite box(10, kRed);
    box.SetPosition(50, 50);
    box.bFailDraw = true;
    engine.AddSprite(&box);
    EXPECT_EQ(engine.Update(), 2);
    EXPECT_EQ(engine.GetCount(), 0);
    EXPECT_EQ(box.GetEngine(), nullptr);
    EXPECT_TRUE(SameBytes(surface, map));
    EXPECT_EQ(host.rects, std::vector<QRect>{box.GetRect()});
}

TEST(SpriteEngineFailure, neighbour_that_cannot_repaint_stays_and_is_retried) {
    QImage surface = PatternSurface(100, 100);
    CSpriteEngine engine(nullptr, &surface);
    CBoxSprite back(20, kRed), front(10, kBlue);
    back.SetPosition(40, 40);
    front.SetPosition(50, 50);
    engine.AddSprite(&back);
    engine.AddSprite(&front);
    ASSERT_EQ(engine.Update(), 0);
    back.bFailDraw = true;
    front.SetPosition(90, 90); // leaves back, which must be repainted where front was
    EXPECT_EQ(engine.Update(), 2);
    EXPECT_EQ(back.GetEngine(), &engine);
    EXPECT_TRUE(back.IsChanged());
    back.bFailDraw = false;
    EXPECT_EQ(engine.Update(), 0);
    EXPECT_EQ(surface.pixelColor(48, 48), kRed);
}

TEST(SpriteEngine, works_without_host_and_with_no_picture) {
    CSpriteEngine engine(nullptr, nullptr);
    CBoxSprite box(10, kRed);
    ASSERT_TRUE(engine.AddSprite(&box));
    EXPECT_EQ(engine.Update(), 2) << "no surface to save from";
    EXPECT_EQ(box.nDraws, 0);
    engine.RemoveSprite(&box);
    EXPECT_EQ(engine.Update(), 0);
}
