#include "StringTable.h"

#include <gtest/gtest.h>

TEST(StringTable, unknown_id_gives_empty_text) {
    EXPECT_TRUE(LoadStringId(1).empty());
    EXPECT_TRUE(LoadStringId(99999).empty());
}

TEST(StringTable, texts_keep_their_double_blanks) {
    EXPECT_EQ(LoadStringId(IDS_NOT_VALID_FILE), "This is not a valid  file.");
    EXPECT_EQ(LoadStringId(IDS_PANE_3), "  ");
}

TEST(StringTable, percent_one_is_replaced_everywhere) {
    EXPECT_EQ(FormatString1(IDS_CURSOR_POSITION, "N 10*"), "Cursor position: N 10*");
    EXPECT_EQ(ExpandPercent1("%1-%1-%2", "x"), "x-x-%2");
    EXPECT_EQ(ExpandPercent1("ends with %", "x"), "ends with %");
}
