// The platform's own settings store: the (Wine) registry, or the settings file.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/registry_values.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>
#endif

namespace platform {
namespace {

#ifdef _WIN32

// A key of its own, deleted after the test, so the real settings are never touched.
constexpr const char* kTestKey = "Software\\KRYL\\KRYL Voxtrane Tests";

TEST(RegistryStore, ValuesKeepTheirTypesAndBytes) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    SettingsStore& store = platformSettingsStore();
    std::string s;
    uint32_t v = 0;
    EXPECT_FALSE(store.readString(kTestKey, "UI Scale", s));
    store.writeDword(kTestKey, "Number", 0xDEADBEEF);
    settings::RegWriteFloat(kTestKey, "UI Scale", 1.5f);
    store.writeString(kTestKey, "Long", std::string(261, 'x'));

    ASSERT_TRUE(store.readDword(kTestKey, "Number", v));
    EXPECT_EQ(v, 0xDEADBEEFu);
    ASSERT_TRUE(store.readString(kTestKey, "UI Scale", s));
    EXPECT_EQ(s, "1.500000" + std::string(252, '\0'));
    EXPECT_EQ(settings::RegReadFloat(kTestKey, "UI Scale", 0.0f), 1.5f);
    EXPECT_FALSE(store.readString(kTestKey, "Number", s));  // another type reads as missing
    EXPECT_FALSE(store.readDword(kTestKey, "UI Scale", v));
    EXPECT_FALSE(store.readString(kTestKey, "Long", s));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey), ERROR_SUCCESS);
}

#else

namespace fs = std::filesystem;

// Points the store at a file in a fresh folder for each test, and restores the environment.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"KRYL_VOXTRANE_SETTINGS", "XDG_CONFIG_HOME", "HOME"})
            if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
        root = fs::temp_directory_path() / ("voxtrane-settings-" + std::to_string(getpid()));
        fs::remove_all(root);
        file = root / "nested" / "settings.reg";
        setenv("KRYL_VOXTRANE_SETTINGS", file.c_str(), 1);
    }
    void TearDown() override {
        for (const char* name : {"KRYL_VOXTRANE_SETTINGS", "XDG_CONFIG_HOME", "HOME"}) unsetenv(name);
        for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
        fs::remove_all(root);
    }
    static std::string contents(const fs::path& path) {
        std::stringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    }

    SettingsStore& store = platformSettingsStore();
    fs::path root, file;

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(SettingsFileTest, AWriteReplacesTheFileWholeAndKeepsWhatItDoesNotKnow) {
    uint32_t v = 0;
    EXPECT_FALSE(store.readDword(kVoxtraneKey, "HTTP API", v));
    EXPECT_FALSE(fs::exists(root));  // reading creates nothing
    store.writeDword(kVoxtraneKey, "HTTP API", 1);  // creates the folders
    ASSERT_TRUE(store.readDword(kVoxtraneKey, "HTTP API", v));
    EXPECT_EQ(v, 1u);

    const std::string foreign =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane]\r\n"
        "\"Future\"=hex(7):41,00,00,00,\\\r\n  00,00\r\n"
        "\"UI Scale\"=\"2.000000\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Kept\"=\"yes\"\r\n";
    std::ofstream(file, std::ios::binary) << foreign;  // edited by hand: nothing is cached
    EXPECT_FALSE(store.readDword(kVoxtraneKey, "HTTP API", v));
    chmod(file.c_str(), 0644);
    struct stat before, after;
    ASSERT_EQ(stat(file.c_str(), &before), 0);

    settings::RegWriteFloat(kVoxtraneKey, "UI Scale", 1.5f);
    std::string expected = foreign;
    expected.replace(expected.find("2.000000"), 8, "1.500000");
    EXPECT_EQ(contents(file), expected);
    EXPECT_EQ(settings::RegReadFloat(kVoxtraneKey, "UI Scale", 0.0f), 1.5f);
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file renamed over the old one
    EXPECT_EQ(after.st_mode & 0777, 0644u);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, AFileThatIsNotASettingsFileReadsAsMissingAndIsReplacedOnWrite) {
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    std::string garbage(5000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 131 % 251);
    std::ofstream(file, std::ios::binary) << garbage;
    EXPECT_EQ(settings::RegReadDword(kVoxtraneKey, "HTTP API", 7), 7u);
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    EXPECT_EQ(settings::RegReadDword(kVoxtraneKey, "HTTP API", 7), 1u);

    // A folder where the file should be: reads miss, writes fail quietly.
    setenv("KRYL_VOXTRANE_SETTINGS", root.c_str(), 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    EXPECT_EQ(settings::RegReadDword(kVoxtraneKey, "HTTP API", 7), 7u);
}

TEST_F(SettingsFileTest, TheFileIsFoundThroughTheConfigFolderThenHome) {
    unsetenv("KRYL_VOXTRANE_SETTINGS");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    EXPECT_TRUE(fs::exists(root / "config" / "KRYL Voxtrane" / "settings.reg"));

    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 2);
    EXPECT_TRUE(fs::exists(root / "home" / ".config" / "KRYL Voxtrane" / "settings.reg"));
}

#endif

}  // namespace
}  // namespace platform
