#include "model/uacc_catalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace model {
namespace {

TEST(UaccCatalog, NamesSurroundingEachGap) {
    EXPECT_STREQ(uaccName(1), "Long Generic");
    EXPECT_STREQ(uaccName(37), "Legato Single string (sul C/G/etc.)");
    EXPECT_STREQ(uaccName(40), "Short Generic");
    EXPECT_STREQ(uaccName(55), "Short Marcato longer");
    EXPECT_STREQ(uaccName(61), "Short Harmonic");
    EXPECT_STREQ(uaccName(70), "Decorative Trill min 2nd");
    EXPECT_STREQ(uaccName(76), "Decorative Multitongue muted");
    EXPECT_STREQ(uaccName(85), "Decorative Synced - 120bpm (trem/trill)");
    EXPECT_STREQ(uaccName(87), "Decorative Synced - 180bpm (trem/trill)");
    EXPECT_STREQ(uaccName(105), "Phrases & dynamics Slides");
    EXPECT_STREQ(uaccName(110), "Disco upwards (rips)");
    EXPECT_STREQ(uaccName(113), "Longs Lower Distorted");
}

TEST(UaccCatalog, EveryUnnamedValueIsUnspecified) {
    for (int v : {-1000, -1, 0, 38, 39, 62, 69, 77, 84, 88, 89, 106, 109, 114, 127, 200, 1 << 30}) {
        EXPECT_STREQ(uaccName(v), "Unspecified") << v;
    }
    int named = 0;
    for (int v = 1; v <= 113; ++v) {
        if (std::string(uaccName(v)) != "Unspecified") ++named;
    }
    EXPECT_EQ(named, 89);
}

TEST(UaccCatalog, FxNumbersFollowTheValue) {
    for (int v = 90; v <= 99; ++v) {
        EXPECT_EQ(uaccName(v), "Phrases & dynamics FX " + std::to_string(v - 89));
    }
}

TEST(UaccCatalog, DetachEndsInReplacementCharacterBytes) {
    const std::string expected = std::string("Legato Detach") + '\xEF' + '\xBF' + '\xBD';
    EXPECT_EQ(std::string(uaccName(34)), expected);
}

TEST(UaccCatalog, CopyIsZeroTerminatedAndNeverOverruns) {
    char buffer[64];
    UaccArticulationName(52, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Short Marcato");

    // Exactly fitting text, and text one byte too long.
    const size_t fit = std::strlen("Short Marcato") + 1;
    std::memset(buffer, 'x', sizeof buffer);
    UaccArticulationName(52, buffer, fit);
    EXPECT_STREQ(buffer, "Short Marcato");
    std::memset(buffer, 'x', sizeof buffer);
    UaccArticulationName(52, buffer, fit - 1);
    EXPECT_STREQ(buffer, "Short Marcat");
    EXPECT_EQ(buffer[fit - 1], 'x');

    std::memset(buffer, 'x', sizeof buffer);
    UaccArticulationName(7, buffer, 1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');

    UaccArticulationName(7, buffer, 0);  // nothing written, nothing read
    EXPECT_EQ(buffer[0], '\0');
    UaccArticulationName(7, nullptr, 10);
}

TEST(UaccCatalog, TruncationDropsAPartialCharacterWhole) {
    char buffer[32];
    const size_t base = std::strlen("Legato Detach");
    for (size_t size = base + 1; size <= base + 3; ++size) {
        UaccArticulationName(34, buffer, size);
        EXPECT_STREQ(buffer, "Legato Detach") << size;
    }
    UaccArticulationName(34, buffer, base + 4);
    EXPECT_STREQ(buffer, uaccName(34));
}

}  // namespace
}  // namespace model
