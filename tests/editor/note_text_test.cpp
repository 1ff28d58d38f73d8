// Typed keyswitches against the table the web page's reading is tested with too.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "editor/note_text.h"

namespace {

TEST(NoteText, ReadsEveryTextOfTheSharedTable) {
    std::ifstream file(VOXTRANE_TESTS_DIR "/editor/note_texts.tsv", std::ios::binary);
    ASSERT_TRUE(file) << "note_texts.tsv";
    int cases = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t close = line.rfind('"');
        const std::string text = line.substr(1, close - 1);
        const size_t tab = line.find('\t', close + 2);
        const int standard = std::stoi(line.substr(close + 2, tab - close - 2)), alternative = std::stoi(line.substr(tab + 1));
        EXPECT_EQ(editor::noteOfText(text, false), standard) << '"' << text << '"';
        EXPECT_EQ(editor::noteOfText(text, true), alternative) << '"' << text << "\" (C4)";
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

}  // namespace
