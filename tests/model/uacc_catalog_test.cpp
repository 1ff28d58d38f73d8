#include "model/uacc_catalog.h"

#include <gtest/gtest.h>

#include <string>

namespace model {
namespace {

TEST(UaccCatalog, NamesAroundEachGapAndUnspecifiedEverywhereElse) {
    const std::pair<int, std::string> cases[] = {
        {1, "Long Generic"}, {34, std::string("Legato Detach") + "\xEF\xBF\xBD"},  // the replacement character
        {37, "Legato Single string (sul C/G/etc.)"}, {70, "Decorative Trill min 2nd"}, {113, "Longs Lower Distorted"},
    };
    for (const auto& [value, name] : cases) EXPECT_EQ(uaccName(value), name) << value;
    for (int v : {-1000, -1, 0, 38, 39, 62, 69, 77, 84, 88, 89, 106, 109, 114, 127, 1 << 30})
        EXPECT_STREQ(uaccName(v), "Unspecified") << v;
}

}  // namespace
}  // namespace model
