#include "http/byte_buffer.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace http {

namespace {

constexpr size_t kScratchSize = 512;
constexpr size_t kMaxConversion = 32;
// The conversion letters formatted as C's printf does, each taking the argument printf takes.
constexpr const char* kFormatted = "AEFGXacdefgiopsux";

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Only these may stand between '%' and the letter: anything else could make the C library read
// an argument the template never passed.
bool isPlainModifier(char c) { return (c >= '0' && c <= '9') || std::strchr("-+ #.", c) != nullptr; }

// The capacity that byte-by-byte doubling reaches for `needed` bytes.
uint64_t grownCapacity(uint64_t capacity, uint64_t needed) {
    uint64_t grown = capacity ? capacity : 1;
    while (grown < needed) {
        if (grown > UINT64_MAX / 2) return needed;
        grown *= 2;
    }
    return grown;
}

// Formats one conversion into `scratch`; false when it cannot be done safely.
bool formatOne(const char* conversion, char letter, va_list& args, char (&scratch)[kScratchSize], int& written) {
    switch (letter) {
    case 'X': case 'c': case 'd': case 'i': case 'o': case 'u': case 'x':
        written = std::snprintf(scratch, sizeof scratch, conversion, va_arg(args, int));
        break;
    case 'A': case 'E': case 'F': case 'G': case 'a': case 'e': case 'f': case 'g':
        written = std::snprintf(scratch, sizeof scratch, conversion, va_arg(args, double));
        break;
    case 'p':
        written = std::snprintf(scratch, sizeof scratch, conversion, va_arg(args, void*));
        break;
    case 's': {
        const char* text = va_arg(args, const char*);
        written = std::snprintf(scratch, sizeof scratch, conversion, text ? text : "(null)");
        break;
    }
    default:
        return false;
    }
    return written >= 0 && static_cast<size_t>(written) < sizeof scratch;
}

int pushFormatted(ByteBuffer* buffer, const char* format, va_list& args) {
    for (const char* p = format; *p;) {
        if (*p != '%') {
            // A run of ordinary characters goes in at once.
            const char* run = std::strchr(p, '%');
            const size_t length = run ? static_cast<size_t>(run - p) : std::strlen(p);
            if (ByteBuffer_PushBytes(buffer, p, length) != SB_OK) return SB_ERR_NOMEM;
            p += length;
            continue;
        }
        if (p[1] == 's') {
            const char* text = va_arg(args, const char*);
            if (!text) text = "(null)";
            if (ByteBuffer_PushBytes(buffer, text, std::strlen(text)) != SB_OK) return SB_ERR_NOMEM;
            p += 2;
            continue;
        }
        // The conversion runs from '%' to the first letter, or to a following '%'.
        const char* start = p;
        const char* end = p + 1;
        while (*end && !isLetter(*end) && *end != '%') ++end;
        if (!*end) return SB_OK;  // cut off by the end of the template: nothing to write
        const char letter = *end;
        const size_t length = static_cast<size_t>(end - start) + 1;
        p = end + 1;
        // Letters that C's printf reads an argument for, but that are not formatted here
        // (length modifiers, %n, wide characters): refused, so that a template the compiler
        // checked as printf's never has its arguments read differently.
        if (std::strchr("hlLqjztIZwnCS", letter)) return SB_ERR_TRUNCATED;
        if (letter == '%' || !std::strchr(kFormatted, letter)) {
            if (ByteBuffer_PushByte(buffer, static_cast<uint8_t>(letter)) != SB_OK) return SB_ERR_NOMEM;
            continue;
        }
        if (length == 2 && (letter == 'd' || letter == 'i' || letter == 'u')) {
            // The templates' plain numbers, without a trip through the C library.
            char digits[16];
            const int value = va_arg(args, int);
            const auto done = letter == 'u' ? std::to_chars(digits, digits + sizeof digits, static_cast<unsigned>(value))
                                            : std::to_chars(digits, digits + sizeof digits, value);
            if (ByteBuffer_PushBytes(buffer, digits, static_cast<uint64_t>(done.ptr - digits)) != SB_OK)
                return SB_ERR_NOMEM;
            continue;
        }
        if (length >= kMaxConversion) return SB_ERR_TRUNCATED;
        char conversion[kMaxConversion];
        std::memcpy(conversion, start, length);
        conversion[length] = '\0';
        for (size_t i = 1; i + 1 < length; ++i)
            if (!isPlainModifier(conversion[i])) return SB_ERR_TRUNCATED;
        char scratch[kScratchSize];
        int written = 0;
        if (!formatOne(conversion, letter, args, scratch, written)) return SB_ERR_TRUNCATED;
        if (ByteBuffer_PushBytes(buffer, scratch, static_cast<uint64_t>(written)) != SB_OK) return SB_ERR_NOMEM;
    }
    return SB_OK;
}

}  // namespace

int ByteBuffer_Reserve(ByteBuffer* buffer, uint64_t n) {
    if (buffer->capacity >= n) return SB_OK;
    if (n > SIZE_MAX) return SB_ERR_NOMEM;
    void* grown = std::realloc(buffer->data, static_cast<size_t>(n));
    if (!grown) return SB_ERR_NOMEM;
    buffer->data = static_cast<uint8_t*>(grown);
    buffer->capacity = n;
    return SB_OK;
}

int ByteBuffer_PushByte(ByteBuffer* buffer, uint8_t byte) {
    if (buffer->length == buffer->capacity &&
        ByteBuffer_Reserve(buffer, buffer->capacity ? buffer->capacity * 2 : 1) != SB_OK)
        return SB_ERR_NOMEM;
    buffer->data[buffer->length++] = byte;
    return SB_OK;
}

int ByteBuffer_PushBytes(ByteBuffer* buffer, const void* bytes, uint64_t count) {
    if (count == 0) return SB_OK;
    if (count > UINT64_MAX - buffer->length) return SB_ERR_NOMEM;
    const uint64_t needed = buffer->length + count;
    // One reservation to the size that pushing byte by byte would reach.
    if (needed > buffer->capacity && ByteBuffer_Reserve(buffer, grownCapacity(buffer->capacity, needed)) != SB_OK)
        return SB_ERR_NOMEM;
    std::memcpy(buffer->data + buffer->length, bytes, static_cast<size_t>(count));
    buffer->length = needed;
    return SB_OK;
}

int ByteBuffer_NulTerminate(ByteBuffer* buffer) {
    if (ByteBuffer_PushByte(buffer, 0) != SB_OK) return SB_ERR_NOMEM;
    --buffer->length;
    return SB_OK;
}

void ByteBuffer_DropFront(ByteBuffer* buffer, uint64_t n) {
    if (n >= buffer->length) {
        buffer->length = 0;
        return;
    }
    buffer->length -= n;
    std::memmove(buffer->data, buffer->data + n, static_cast<size_t>(buffer->length));
}

int ByteBuffer_PushFormatV(ByteBuffer* buffer, const char* format, va_list args) {
    const uint64_t before = buffer->length;
    va_list copy;
    va_copy(copy, args);
    const int result = pushFormatted(buffer, format, copy);
    va_end(copy);
    if (result != SB_OK) buffer->length = before;
    return result;
}

int ByteBuffer_PushFormat(ByteBuffer* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = ByteBuffer_PushFormatV(buffer, format, args);
    va_end(args);
    return result;
}

void ByteBuffer_Free(ByteBuffer* buffer) {
    std::free(buffer->data);
    *buffer = ByteBuffer{};
}

}  // namespace http
