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
// A printf-like push for the server's own short templates, checked by the compiler as printf's:
// every conversion takes the argument printf would take and formats it the same way ("%s" and
// "%5s" text, null printing as "(null)"; c d i o u x X an int; a e f g and capitals a double; p a
// pointer), or fails the whole push. It fails with SB_ERR_TRUNCATED on a length modifier (h l L
// q j z t I Z w), %n, %C, %S, anything but flags, digits and a point before the letter, or one
// conversion longer than 511 bytes. "%%" and letters that are no conversion stand for themselves
// and take nothing. All or nothing.
int ByteBuffer_PushFormat(ByteBuffer* buffer, const char* format, ...) HTTP_PRINTF_FORMAT(2, 3);
int ByteBuffer_PushFormatV(ByteBuffer* buffer, const char* format, va_list args);
// Releases the data; the record is an empty buffer again.
void ByteBuffer_Free(ByteBuffer* buffer);

}  // namespace http
