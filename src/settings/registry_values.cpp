#include "settings/registry_values.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/settings_store.h"

namespace settings {

namespace {

void copyText(char* out, const char* text) {
    std::strncpy(out, text, kValueBufferSize - 1);
    out[kValueBufferSize - 1] = '\0';
}

// A stored string up to its first zero byte; false when missing or too long for the buffer.
bool readText(const char* key, const char* name, std::string& text) {
    std::string bytes;
    if (!platform::settingsStore().readString(key, name, bytes) || bytes.size() > kValueBufferSize) return false;
    text.assign(bytes.c_str());
    return true;
}

}  // namespace

uint32_t RegReadDword(const char* key, const char* name, uint32_t fallback) {
    uint32_t value = 0;
    return platform::settingsStore().readDword(key, name, value) ? value : fallback;
}

void RegWriteDword(const char* key, const char* name, uint32_t value) {
    platform::settingsStore().writeDword(key, name, value);
}

void RegReadString(const char* key, const char* name, char* out, const char* fallback) {
    std::string text;
    copyText(out, readText(key, name, text) ? text.c_str() : fallback);
}

float RegReadFloat(const char* key, const char* name, float fallback) {
    std::string text;
    if (!readText(key, name, text)) return fallback;
    return static_cast<float>(std::atof(text.c_str()));
}

void RegWriteFloat(const char* key, const char* name, float value) {
    // Stored as all 260 bytes: the text padded with zero bytes.
    std::string bytes(kValueBufferSize, '\0');
    std::snprintf(&bytes[0], kValueBufferSize, "%f", static_cast<double>(value));
    platform::settingsStore().writeString(key, name, bytes);
}

bool httpApiEnabledSetting() { return RegReadDword(platform::kVoxtraneKey, kHttpApiValue, 0) != 0; }
void setHttpApiEnabledSetting(bool enabled) { RegWriteDword(platform::kVoxtraneKey, kHttpApiValue, enabled ? 1 : 0); }

std::string httpPortSetting() {
    char port[kValueBufferSize];
    RegReadString(platform::kVoxtraneKey, kHttpPortValue, port, std::to_string(kDefaultHttpPort).c_str());
    return port;
}

float uiScaleSetting() { return RegReadFloat(platform::kVoxtraneKey, kUiScaleValue, 0.0f); }
void setUiScaleSetting(float stored) { RegWriteFloat(platform::kVoxtraneKey, kUiScaleValue, stored); }

}  // namespace settings
