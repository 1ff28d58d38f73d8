#include "platform/settings_store.h"

namespace platform {

namespace {

SettingsStore* gInstalled = nullptr;

}  // namespace

SettingsStore& settingsStore() { return gInstalled ? *gInstalled : platformSettingsStore(); }
void setSettingsStore(SettingsStore* store) { gInstalled = store; }

}  // namespace platform
