#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace mapreg;

// Every text under its number, as messages, menus, dialogs and files use them: texts.txt has
// one "id<TAB>text" a line, with line feeds, tabs and backslashes written \n, \t and \\. A text
// changed on purpose is changed there too; a new one is added there.
TEST(StringTable, every_id_gives_its_text) {
    std::ifstream in(MAPREG_TEXTS_FILE);
    ASSERT_TRUE(in.is_open());
    int nTexts = 0;
    for (std::string line; std::getline(in, line); ++nTexts) {
        const std::size_t nTab = line.find('\t');
        std::string text;
        for (std::size_t i = nTab + 1; i < line.size(); ++i) {
            const char c = line[i] == '\\' ? line[++i] : '\0';
            text += c == 'n' ? '\n' : c == 't' ? '\t' : c == '\\' ? '\\' : line[i];
        }
        EXPECT_EQ(LoadStringId(static_cast<unsigned>(std::stoul(line.substr(0, nTab)))), text);
    }
    EXPECT_GE(nTexts, 166);
    EXPECT_TRUE(LoadStringId(1).empty());
    EXPECT_TRUE(LoadStringId(99999).empty());
}

TEST(StringTable, percent_one_is_replaced_everywhere) {
    EXPECT_EQ(FormatString1(IDS_CURSOR_POSITION, "N 10*"), "Cursor position: N 10*");
    EXPECT_EQ(ExpandPercent1("%1-%1-%2", "x"), "x-x-%2");
    EXPECT_EQ(ExpandPercent1("ends with %", "x"), "ends with %");
}
