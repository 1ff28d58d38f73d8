// Cutting UTF-8 text to fit a buffer or a count without splitting a character.
#pragma once

#include <cstddef>
#include <cstring>

namespace model {

// The longest prefix of `text` (`length` bytes) of at most `limit` bytes that ends on a
// character boundary: continuation bytes at the cut are dropped with their lead byte.
inline size_t utf8Prefix(const char* text, size_t length, size_t limit) {
    if (length <= limit) return length;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

// Copies `text` into a buffer of `size` bytes, zero-terminated, cut as above.
inline void copyUtf8(char* out, size_t size, const char* text, size_t length) {
    if (!out || size == 0) return;
    const size_t n = utf8Prefix(text, length, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

}  // namespace model
