#include "settings/registry_values.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/settings_store.h"
#include "support/fake_settings.h"

namespace settings {
namespace {

using platform::kVoxtraneKey;

TEST(RegistryValues, StoredValuesFallBackToTheirDefaults) {
    testing_support::FakeSettings store;
    char port[kValueBufferSize];
    RegReadString(kVoxtraneKey, "HTTP Port", port, "8000");
    EXPECT_STREQ(port, "8000");
    store.setString(kVoxtraneKey, "HTTP Port", std::string("9000\0garbage", 12));
    RegReadString(kVoxtraneKey, "HTTP Port", port, "8000");
    EXPECT_STREQ(port, "9000");

    // Not a number: automatic (0); read as far as it is a number; too long for the buffer: the default.
    const std::pair<std::string, float> scales[] = {
        {"automatic", 0.0f}, {"", 0.0f}, {" x1.5", 0.0f}, {"1.25x", 1.25f}, {std::string(261, '1'), 7.0f}};
    for (const auto& [text, value] : scales) {
        store.setString(kVoxtraneKey, "UI Scale", text);
        EXPECT_EQ(RegReadFloat(kVoxtraneKey, "UI Scale", 7.0f), value) << text;
    }

    // A scale is written as its text padded with zero bytes to 260, and reads back.
    RegWriteFloat(kVoxtraneKey, "UI Scale", 1.5f);
    std::string stored;
    store.readString(kVoxtraneKey, "UI Scale", stored);
    EXPECT_EQ(stored, "1.500000" + std::string(252, '\0'));
    EXPECT_EQ(RegReadFloat(kVoxtraneKey, "UI Scale", 0.0f), 1.5f);
}

}  // namespace
}  // namespace settings
