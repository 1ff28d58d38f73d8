// The server's text functions: the byte buffer and its formatted push, header lookup and URL
// decoding.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "http/byte_buffer.h"
#include "http/http_server.h"

namespace http {
namespace {

std::string text(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data), b.length); }

// The templates below break printf's rules on purpose, so they go through the va_list form.
int push(ByteBuffer* b, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = ByteBuffer_PushFormatV(b, format, args);
    va_end(args);
    return result;
}

struct Buffer {
    ByteBuffer b{};
    ~Buffer() { ByteBuffer_Free(&b); }
};

TEST(ByteBufferTest, GrowsByDoublingAndDropsFromTheFront) {
    Buffer buf;
    ByteBuffer& b = buf.b;
    EXPECT_EQ(ByteBuffer_PushByte(&b, 'a'), SB_OK);
    EXPECT_EQ(b.capacity, 1u);
    ByteBuffer_PushByte(&b, 'b');
    ByteBuffer_PushByte(&b, 'c');
    EXPECT_EQ(b.capacity, 4u);
    EXPECT_EQ(ByteBuffer_PushBytes(&b, "defgh", 5), SB_OK);
    EXPECT_EQ(b.capacity, 8u);
    EXPECT_EQ(text(b), "abcdefgh");

    // Reserve only ever grows, and to exactly what was asked.
    ByteBuffer_Reserve(&b, 5);
    EXPECT_EQ(b.capacity, 8u);
    ByteBuffer_Reserve(&b, 11);
    EXPECT_EQ(b.capacity, 11u);

    ByteBuffer_DropFront(&b, 3);
    EXPECT_EQ(text(b), "defgh");
    ByteBuffer_DropFront(&b, 99);
    EXPECT_EQ(b.length, 0u);

    // The terminator sits after the data without being counted.
    ByteBuffer_PushBytes(&b, "xy", 2);
    EXPECT_EQ(ByteBuffer_NulTerminate(&b), SB_OK);
    EXPECT_EQ(b.length, 2u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.data), "xy");
}

TEST(ByteBufferTest, FormattedPushFollowsTheTemplateRules) {
    Buffer buf;
    ByteBuffer& b = buf.b;
    const char* none = nullptr;
    EXPECT_EQ(push(&b, "[%s|%s]", "text", none), SB_OK);
    EXPECT_EQ(text(b), "[text|(null)]");

    b.length = 0;
    EXPECT_EQ(push(&b, "%i %d %u %x %X %c %05.1f %g", -7, 12, 4000000000u, 255, 255, 'Q', 2.5, 0.5),
              SB_OK);
    EXPECT_EQ(text(b), "-7 12 4000000000 ff FF Q 002.5 0.5");

    // "%%", any letter that is not a conversion, and "s" with a width stand for themselves and
    // take no argument: the next conversion still gets the first argument.
    b.length = 0;
    EXPECT_EQ(push(&b, "100%% %5s %e %ld|%i", 42), SB_OK);
    EXPECT_EQ(text(b), "100% s e ld|42");
}

TEST(ByteBufferTest, FormattedPushRefusesWhatItCannotFormatSafelyAndKeepsTheBuffer) {
    Buffer buf;
    ByteBuffer& b = buf.b;
    ByteBuffer_PushBytes(&b, "kept", 4);
    // A star would make the C library read an argument that was never passed.
    EXPECT_EQ(push(&b, "abc%*d", 5), SB_ERR_TRUNCATED);
    EXPECT_EQ(push(&b, "abc%1$d", 5), SB_ERR_TRUNCATED);
    // Wider than the scratch buffer.
    EXPECT_EQ(push(&b, "abc%900d", 5), SB_ERR_TRUNCATED);
    EXPECT_EQ(text(b), "kept");
}

TEST(HttpGetHeaderTest, FindsValuesCaseInsensitivelyWithinTheHead) {
    const char* head =
        "POST /x HTTP/1.1\r\n"
        "Host: example\r\n"
        "content-length: \t 42\r\n"
        "X-Content-Length-Extra: 9\r\n"
        "\r\n"
        "After: blank\r\n";
    EXPECT_STREQ(Http_GetHeader(head, "Content-Length"), "42\r\nX-Content-Length-Extra: 9\r\n\r\nAfter: blank\r\n");
    EXPECT_EQ(std::string(Http_GetHeader(head, "HOST")).substr(0, 7), "example");
    // A name must be followed by its colon; nothing after the blank line is a header.
    EXPECT_EQ(Http_GetHeader(head, "Content"), nullptr);
    EXPECT_EQ(Http_GetHeader(head, "After"), nullptr);
    // The request line is looked at like any other line.
    EXPECT_STREQ(Http_GetHeader("GET: odd\r\n\r\n", "get"), "odd\r\n\r\n");
    // Lines end at a carriage return: bare line feeds do not start a new line.
    EXPECT_EQ(Http_GetHeader("GET / HTTP/1.1\nHost: a\n\n", "Host"), nullptr);
    EXPECT_STREQ(Http_GetHeader("A: 1\rB: 2", "b"), "2");
    EXPECT_EQ(Http_GetHeader("", "Host"), nullptr);
}

TEST(HttpUrlDecodeTest, DecodesEscapesAndStopsAtTheQuery) {
    char out[64];
    EXPECT_EQ(Http_UrlDecode(out, "/a%20b+c", sizeof out), SB_OK);
    EXPECT_STREQ(out, "/a b c");
    Http_UrlDecode(out, "/api/1/port=3?x=1", sizeof out);
    EXPECT_STREQ(out, "/api/1/port=3");
    Http_UrlDecode(out, "/a&b", sizeof out);
    EXPECT_STREQ(out, "/a");
    Http_UrlDecode(out, "/path HTTP/1.1\r\n", sizeof out);
    EXPECT_STREQ(out, "/path");
    // Upper and lower case hexadecimal; a percent sign without two characters after it stays.
    Http_UrlDecode(out, "%2F%2f%41%4", sizeof out);
    EXPECT_STREQ(out, "//A%4");
    Http_UrlDecode(out, "x%", sizeof out);
    EXPECT_STREQ(out, "x%");
    // Digits are not validated: "g" counts as 16.
    Http_UrlDecode(out, "%3g", sizeof out);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 3 * 16 + 16);
}

TEST(HttpUrlDecodeTest, CutsAtTheOutputSize) {
    char out[5];
    EXPECT_EQ(Http_UrlDecode(out, "/abcdef", sizeof out), SB_ERR_TRUNCATED);
    EXPECT_STREQ(out, "/abc");
    EXPECT_EQ(Http_UrlDecode(out, "/abc", sizeof out), SB_OK);
    EXPECT_STREQ(out, "/abc");
}

}  // namespace
}  // namespace http
