// Where the per-user settings live: the registry on Windows, a file elsewhere. Values keep the
// registry's key names, value names and types on every platform.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

inline constexpr const char* kVoxtraneKey = "Software\\KRYL\\KRYL Voxtrane";
inline constexpr const char* kHostGeneralKey = "Software\\Image-Line\\Shared\\General";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the value is missing or of another type. [ui]
    virtual bool readString(const char* key, const char* name, std::string& out) = 0;
    virtual bool readDword(const char* key, const char* name, uint32_t& out) = 0;
    virtual void writeString(const char* key, const char* name, const std::string& bytes) = 0;
    virtual void writeDword(const char* key, const char* name, uint32_t value) = 0;
};

// The process's store. Hosts and tests may install their own; nullptr restores the platform's.
SettingsStore& settingsStore();
void setSettingsStore(SettingsStore* store);

// The platform's own store: the current user's registry on Windows; elsewhere one file in the
// registry's export format at $KRYL_VOXTRANE_SETTINGS, else $XDG_CONFIG_HOME/KRYL Voxtrane/settings.reg,
// else ~/.config/KRYL Voxtrane/settings.reg.
SettingsStore& platformSettingsStore();

// [ui] Deletes a value from the platform's own store; nothing when it is missing. For programs
// that change the user's settings for a while and put them back as they were.
void removePlatformSetting(const char* key, const char* name);

}  // namespace platform
