// The sprite engine on real pixels: after any sequence of changes the picture equals a fresh
// composition and every changed pixel is repainted; repainted rectangles, slot bookkeeping and
// the failure paths.
#include "SpriteTestSupport.h"
#include "display/CLabelSprite.h"
#include "display/CPointerSprite.h"
#include "display/CSpriteEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <set>

using namespace mapreg;

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

// The picture as it looks with no history: the clean map with the figures drawn on it from the
// deepest to the frontmost. Not clipped: a figure that paints outside its box shows.
QImage Compose(const QImage& clean, const std::set<CSprite*>& listed) {
    std::vector<CSprite*> order(listed.begin(), listed.end());
    std::sort(order.begin(), order.end(),
              [](const CSprite* a, const CSprite* b) { return a->GetDepth() > b->GetDepth(); });
    QImage img = clean.copy();
    QPainter painter(&img);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (CSprite* pSprite : order) {
        pSprite->Draw(painter);
    }
    return img;
}

} // namespace

// Marks, labels, pointers and solid boxes added, moved, resized, re-anchored, turned, recoloured
// and removed at random, overlapping in chains and half outside the picture.
TEST(SpriteEngine, any_sequence_of_changes_gives_the_fresh_composition_and_repaints_the_changes) {
    for (unsigned nSeed = 1; nSeed <= 30; ++nSeed) {
        SCOPED_TRACE(nSeed);
        std::mt19937 rng(nSeed);
        auto pick = [&rng](int nLow, int nHigh) {
            return std::uniform_int_distribution<int>(nLow, nHigh)(rng);
        };
        const QImage clean = PatternSurface(
            160, 120, nSeed % 2 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        QImage surface = clean.copy();
        CRecordingHost host;
        CSpriteEngine engine(&host, &surface);
        std::vector<std::uint32_t> depths(12);
        std::iota(depths.begin(), depths.end(), 1U);
        std::shuffle(depths.begin(), depths.end(), rng);
        std::vector<std::unique_ptr<CSprite>> sprites;
        for (std::size_t i = 0; i < depths.size(); ++i) {
            const QSize size(pick(16, 64), pick(16, 64));
            const COLORREF crColor = static_cast<COLORREF>(pick(0, 0xFFFFFF));
            if (i % 4 == 0) {
                sprites.push_back(std::make_unique<CMarkSprite>(depths[i], size, crColor));
            } else if (i % 4 == 3) { // solid: any wrong order shows
                sprites.push_back(
                    std::make_unique<CBoxSprite>(depths[i], QColor::fromRgb(crColor)));
                sprites.back()->SetSize(size);
            } else if (i % 4 == 1) {
                sprites.push_back(std::make_unique<CLabelSprite>(
                    depths[i], size, crColor, pick(0, 7), QString::number(i * 7)));
            } else {
                auto pPointer = std::make_unique<CPointerSprite>(depths[i], size, crColor);
                pPointer->SetHeading(pick(-400, 400));
                sprites.push_back(std::move(pPointer));
            }
            sprites.back()->SetPosition(pick(-30, 190), pick(-30, 150));
        }
        std::set<CSprite*> listed;
        for (int nStep = 0; nStep < 50; ++nStep) {
            for (int nChange = pick(1, 3); nChange > 0; --nChange) {
                CSprite* pSprite = sprites[static_cast<std::size_t>(pick(0, 11))].get();
                auto* pLabel = dynamic_cast<CLabelSprite*>(pSprite);
                auto* pPointer = dynamic_cast<CPointerSprite*>(pSprite);
                switch (pick(0, 5)) {
                case 0:
                    ASSERT_TRUE(engine.AddSprite(pSprite));
                    listed.insert(pSprite);
                    break;
                case 1:
                    engine.RemoveSprite(pSprite);
                    listed.erase(pSprite);
                    break;
                case 2:
                    pSprite->SetPosition(pick(-30, 190), pick(-30, 150));
                    break;
                case 3: // sizes outside 16..128 are refused
                    pSprite->SetSize(QSize(pick(12, 132), pick(12, 132)));
                    break;
                case 4:
                    if (pLabel != nullptr) {
                        pLabel->SetAnchor(pick(-1, 8));
                    } else if (pPointer != nullptr) {
                        pPointer->SetHeading(pick(-400, 400));
                    } else if (auto* pMark = dynamic_cast<CMarkSprite*>(pSprite)) {
                        pMark->SetColor(static_cast<COLORREF>(pick(0, 0xFFFFFF)));
                    }
                    break;
                default:
                    pSprite->SetPosition(pSprite->GetPosition() + QPoint(pick(-9, 9), pick(-9, 9)));
                }
            }
            if (nStep == 49) { // last, everything goes: the clean picture comes back
                for (CSprite* pSprite : listed) {
                    engine.RemoveSprite(pSprite);
                }
                listed.clear();
            }
            const QImage before = surface.copy();
            host.rects.clear();
            ASSERT_EQ(engine.Update(), CSpriteEngine::kUpdateDone);
            ASSERT_EQ(engine.GetCount(), static_cast<int>(listed.size()));
            ASSERT_EQ(surface, Compose(clean, listed)) << "step " << nStep;
            // Outside the repainted rectangles the window still shows the picture before.
            QImage shown = before.copy();
            QPainter painter(&shown);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            for (const QRect& rc : host.rects) {
                painter.drawImage(rc, surface, rc);
            }
            painter.end();
            ASSERT_EQ(shown, surface) << "step " << nStep;
        }
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
        EXPECT_EQ(pair.surface, pair.map) << "nothing drawn without a background";
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
