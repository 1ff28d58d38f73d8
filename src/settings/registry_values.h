// The registry wrappers the rest of the plugin reads its per-user settings through.
#pragma once

#include <cstddef>
#include <cstdint>

namespace settings {

inline constexpr size_t kValueBufferSize = 260;

// [ui] each opens, reads or writes, and closes; nothing is cached.
uint32_t RegReadDword(const char* key, const char* name, uint32_t fallback);
void RegWriteDword(const char* key, const char* name, uint32_t value);
// Copies at most 260 bytes (always zero-terminated) into `out`, or `fallback` on any failure.
void RegReadString(const char* key, const char* name, char* out, const char* fallback);
float RegReadFloat(const char* key, const char* name, float fallback);
void RegWriteFloat(const char* key, const char* name, float value);

}  // namespace settings
