// Zoom arithmetic without a window: a level change keeps the map pixel under the anchor.

#include "display/CMapZoom.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace mapreg;

TEST(MapZoom, scroll_keeping_anchor_leaves_the_map_pixel_under_the_anchor) {
    const double root2 = std::sqrt(2.0);
    const struct {
        const char* name;
        double from;
        double to;
        QPoint scroll;
        QPoint anchor;
        QPoint expected; // by hand for the exact levels; (-1, -1): only the pixel is checked
    } rows[] = {
        // Map pixel (423, 177), its middle (423.5, 177.5) at 200 % is content (847, 355).
        {"in_to_200", 1.0, 2.0, {300, 100}, {123, 77}, {724, 278}},
        {"back_to_100", 2.0, 1.0, {724, 278}, {123, 77}, {300, 100}},
        {"in_to_800", 1.0, 8.0, {0, 0}, {5, 3}, {39, 25}},
        {"out_past_the_corner_stops_at_0", 1.0, 0.5, {0, 0}, {10, 10}, {0, 0}},
        {"up_a_series_step", 1.0, root2, {501, 233}, {200, 150}, {-1, -1}},
        {"down_a_series_step", root2, 1.0, {501, 233}, {200, 150}, {-1, -1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CMapZoom from(row.from);
        const CMapZoom to(row.to);
        const QPoint scroll = to.ScrollKeepingAnchor(from, row.scroll, row.anchor);
        if (row.expected != QPoint(-1, -1)) {
            EXPECT_EQ(scroll, row.expected);
        }
        if (row.expected != QPoint(0, 0)) {
            EXPECT_EQ(to.MapFromContent(scroll + row.anchor),
                      from.MapFromContent(row.scroll + row.anchor));
        }
    }
}
