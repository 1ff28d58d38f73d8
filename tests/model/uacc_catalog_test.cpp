#include "model/uacc_catalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace model {
namespace {

TEST(UaccCatalog, NamesAroundEachGapAndUnspecifiedEverywhereElse) {
    const std::pair<int, std::string> cases[] = {
        {1, "Long Generic"}, {34, std::string("Legato Detach") + "\xEF\xBF\xBD"},  // the replacement character
        {37, "Legato Single string (sul C/G/etc.)"}, {40, "Short Generic"}, {55, "Short Marcato longer"},
        {61, "Short Harmonic"}, {70, "Decorative Trill min 2nd"}, {76, "Decorative Multitongue muted"},
        {85, "Decorative Synced - 120bpm (trem/trill)"}, {87, "Decorative Synced - 180bpm (trem/trill)"},
        {90, "Phrases & dynamics FX 1"}, {99, "Phrases & dynamics FX 10"}, {105, "Phrases & dynamics Slides"},
        {110, "Disco upwards (rips)"}, {113, "Longs Lower Distorted"},
    };
    for (const auto& [value, name] : cases) EXPECT_EQ(uaccName(value), name) << value;
    for (int v : {-1000, -1, 0, 38, 39, 62, 69, 77, 84, 88, 89, 106, 109, 114, 127, 200, 1 << 30})
        EXPECT_STREQ(uaccName(v), "Unspecified") << v;
    int named = 0;
    for (int v = 1; v <= 113; ++v) named += std::strcmp(uaccName(v), "Unspecified") != 0;
    EXPECT_EQ(named, 89);
}

// The copy is always zero-terminated, never writes past its size, and drops a character that
// does not fit whole.
TEST(UaccCatalog, CopyFitsTheBufferAndCutsOnlyBetweenCharacters) {
    const size_t detach = std::strlen("Legato Detach");
    const struct { int value; size_t size; std::string expected; } cases[] = {
        {52, 64, "Short Marcato"},       {52, 14, "Short Marcato"}, {52, 13, "Short Marcat"},
        {7, 1, ""},                      {34, detach + 1, "Legato Detach"},
        {34, detach + 3, "Legato Detach"}, {34, detach + 4, uaccName(34)},
    };
    for (const auto& c : cases) {
        char buffer[80];
        std::memset(buffer, 'x', sizeof buffer);
        UaccArticulationName(c.value, buffer, c.size);
        EXPECT_EQ(buffer, c.expected) << c.value << " " << c.size;
        EXPECT_EQ(buffer[c.size], 'x') << c.value << " " << c.size;
    }
    char untouched[2] = "y";
    UaccArticulationName(7, untouched, 0);
    UaccArticulationName(7, nullptr, 10);
    EXPECT_STREQ(untouched, "y");
}

}  // namespace
}  // namespace model
