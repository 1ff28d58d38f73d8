// The platform's own settings store: the (Wine) registry, or the settings file.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "support/temp_folder.h"
#endif

namespace platform {
namespace {

#ifdef _WIN32

// A key of its own, deleted after the test, so the real settings are never touched.
constexpr const char* kTestKey = "Software\\KRYL\\KRYL Voxtrane Tests";

TEST(RegistryStore, ValuesKeepTheirTypesAndBytes) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    SettingsStore& store = platformSettingsStore();
    const std::string padded = "1.500000" + std::string(252, '\0');
    std::string s;
    uint32_t v = 0;
    EXPECT_FALSE(store.readString(kTestKey, "Text", s));
    store.writeDword(kTestKey, "Number", 0xDEADBEEF);
    store.writeString(kTestKey, "Text", padded);
    store.writeString(kTestKey, "Long", std::string(261, 'x'));
    EXPECT_TRUE(store.readDword(kTestKey, "Number", v) && v == 0xDEADBEEFu);
    EXPECT_TRUE(store.readString(kTestKey, "Text", s) && s == padded);
    EXPECT_FALSE(store.readString(kTestKey, "Number", s));  // another type reads as missing
    EXPECT_FALSE(store.readDword(kTestKey, "Text", v));
    EXPECT_FALSE(store.readString(kTestKey, "Long", s));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey), ERROR_SUCCESS);
}

#else

namespace fs = std::filesystem;

// Nothing is cached and reading creates nothing; a write renames a whole new file over the old
// one, keeping what it does not know and the file's mode; a file that is not a settings file
// reads as empty and is replaced; a folder at the path makes writes fail quietly. Without an
// explicit path the file is found through the configuration folder, then the home folder.
TEST(SettingsFile, WritesReplaceTheFileWholeWhereverItIsFound) {
    std::map<std::string, std::string> saved;
    for (const char* name : {"KRYL_VOXTRANE_SETTINGS", "XDG_CONFIG_HOME", "HOME"})
        saved[name] = std::getenv(name) ? std::getenv(name) : "";
    const testing_support::TempFolder folder;
    const fs::path root = folder.path() / "root", file = root / "nested" / "settings.reg";
    setenv("KRYL_VOXTRANE_SETTINGS", file.c_str(), 1);
    SettingsStore& store = platformSettingsStore();
    const auto httpApi = [&] {
        uint32_t v = 7;
        store.readDword(kVoxtraneKey, "HTTP API", v);
        return v;
    };

    EXPECT_EQ(httpApi(), 7u);
    EXPECT_FALSE(fs::exists(root));
    store.writeDword(kVoxtraneKey, "HTTP API", 1);  // creates the folders
    EXPECT_EQ(httpApi(), 1u);
    const std::string foreign = "Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane]\r\n"
                                "\"Future\"=hex(7):41,00,00,00,\\\r\n  00,00\r\n\"UI Scale\"=\"2.0\"\r\n";
    std::ofstream(file, std::ios::binary) << foreign;
    EXPECT_EQ(httpApi(), 7u);
    chmod(file.c_str(), 0604);
    struct stat before, after;
    stat(file.c_str(), &before);
    store.writeString(kVoxtraneKey, "UI Scale", "1.5");
    EXPECT_EQ(testing_support::TempFolder::bytesOf(file), foreign.substr(0, foreign.find("2.0")) + "1.5\"\r\n");
    stat(file.c_str(), &after);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0604u);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    std::ofstream(file, std::ios::binary) << "\"HTTP API\"=dword:00000001\n\x01\xff";
    EXPECT_EQ(httpApi(), 7u);
    setenv("KRYL_VOXTRANE_SETTINGS", root.c_str(), 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    EXPECT_EQ(httpApi(), 7u);

    unsetenv("KRYL_VOXTRANE_SETTINGS");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 1);
    EXPECT_TRUE(fs::exists(root / "config" / "KRYL Voxtrane" / "settings.reg"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    store.writeDword(kVoxtraneKey, "HTTP API", 2);
    EXPECT_TRUE(fs::exists(root / "home" / ".config" / "KRYL Voxtrane" / "settings.reg"));

    for (const auto& [name, value] : saved)
        value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
}

#endif

}  // namespace
}  // namespace platform
