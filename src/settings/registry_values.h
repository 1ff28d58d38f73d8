// The registry wrappers the rest of the plugin reads its per-user settings through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace settings {

inline constexpr size_t kValueBufferSize = 260;

// [ui] each opens, reads or writes, and closes; nothing is cached.
uint32_t RegReadDword(const char* key, const char* name, uint32_t fallback);
void RegWriteDword(const char* key, const char* name, uint32_t value);
// Copies at most 260 bytes (always zero-terminated) into `out`, or `fallback` on any failure.
void RegReadString(const char* key, const char* name, char* out, const char* fallback);
float RegReadFloat(const char* key, const char* name, float fallback);
void RegWriteFloat(const char* key, const char* name, float value);

// The plugin's own values, each named here once with its default. [ui]
inline constexpr const char* kHttpApiValue = "HTTP API";    // DWORD, 1 serves the API
inline constexpr const char* kHttpPortValue = "HTTP Port";  // string, the port number as text
inline constexpr const char* kUiScaleValue = "UI Scale";    // float, 0 for automatic
inline constexpr int kDefaultHttpPort = 8000;

bool httpApiEnabledSetting();
void setHttpApiEnabledSetting(bool enabled);
std::string httpPortSetting();  // as stored, for the server to read
float uiScaleSetting();
void setUiScaleSetting(float stored);

}  // namespace settings
