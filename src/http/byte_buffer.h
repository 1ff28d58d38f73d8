// A growable byte buffer for requests and responses. Operations report failure instead of
// throwing, and a failed push leaves the buffer as it was, so a server that runs out of memory
// answers with an error code and keeps going.
#pragma once

#include <cstdarg>
#include <cstdint>

// Templates are checked against C99's printf, which the formatted push follows, also where the
// compiler would otherwise check them against the Windows C library's own.
#ifdef __MINGW32__
#define HTTP_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#else
#define HTTP_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#endif

namespace http {

// Results shared by the buffer and the server.
enum HttpResult : int {
    SB_OK = 0,
    SB_ERR_NOMEM = -2,
    SB_ERR_TRUNCATED = -3,
    SB_ERR_STATE = -4,
    SB_ERR_RESULT = -5,
};

// Owns `data`; a zeroed record is an empty buffer.
struct ByteBuffer {
    uint8_t* data;
    uint64_t length;
    uint64_t capacity;
};

// Grows the capacity to exactly `n` when it is smaller.
int ByteBuffer_Reserve(ByteBuffer* buffer, uint64_t n);
// Appends one byte, doubling the capacity when full.
int ByteBuffer_PushByte(ByteBuffer* buffer, uint8_t byte);
// Appends all `count` bytes or none.
int ByteBuffer_PushBytes(ByteBuffer* buffer, const void* bytes, uint64_t count);
// Writes a 0 after the data without counting it, so the data reads as C text.
int ByteBuffer_NulTerminate(ByteBuffer* buffer);
// Removes the first `n` bytes (all of them when `n` is larger than the length).
void ByteBuffer_DropFront(ByteBuffer* buffer, uint64_t n);
// A printf-like push for the server's own short templates: "%s" takes text (null prints as
// "(null)"); X c d i u x take an int, f g a double, p a pointer, each with optional flags, width
// and precision; any other letter, and "%%", stands for itself and takes no argument (so "%5s"
// writes "s"). A conversion with anything but flags, digits and a point before its letter,
// or one that formats to more than 511 bytes, fails with SB_ERR_TRUNCATED. All or nothing.
// The compiler checks templates as printf's. The two agree on the conversions listed above
// with a plain "%s"; where they part (a "%s" with flags or a width, letters such as o or e)
// printf would read an argument that this push does not, so templates keep to the listed ones.
int ByteBuffer_PushFormat(ByteBuffer* buffer, const char* format, ...) HTTP_PRINTF_FORMAT(2, 3);
int ByteBuffer_PushFormatV(ByteBuffer* buffer, const char* format, va_list args);
// Releases the data; the record is an empty buffer again.
void ByteBuffer_Free(ByteBuffer* buffer);

}  // namespace http
