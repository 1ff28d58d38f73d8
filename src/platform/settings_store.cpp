#include "platform/settings_store.h"

namespace platform {

namespace {

// Until a persistent store exists every value reads as missing, so every caller takes its
// default; writes are dropped.
class MissingValues final : public SettingsStore {
public:
    bool readString(const char*, const char*, std::string&) override { return false; }
    bool readDword(const char*, const char*, uint32_t&) override { return false; }
    void writeString(const char*, const char*, const std::string&) override {}
    void writeDword(const char*, const char*, uint32_t) override {}
};

MissingValues gMissing;
SettingsStore* gInstalled = nullptr;

}  // namespace

SettingsStore& settingsStore() { return gInstalled ? *gInstalled : gMissing; }
void setSettingsStore(SettingsStore* store) { gInstalled = store; }

}  // namespace platform
