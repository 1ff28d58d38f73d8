// The server's text functions: the byte buffer and its formatted push, header lookup and URL
// decoding.
#include <gtest/gtest.h>

#include <string>

#include "http/byte_buffer.h"
#include "http/http_server.h"

namespace http {
namespace {

struct Buffer {
    ByteBuffer b{};
    ~Buffer() { ByteBuffer_Free(&b); }
    std::string text() const { return std::string(reinterpret_cast<const char*>(b.data), b.length); }
};

// Dropping from the front and the terminator are the server tests' (partial sends, request texts).
TEST(ByteBufferTest, GrowsByDoublingAndReservesExactly) {
    Buffer buf;
    for (const char c : {'a', 'b', 'c'}) ByteBuffer_PushByte(&buf.b, static_cast<uint8_t>(c));
    EXPECT_EQ(buf.b.capacity, 4u);
    EXPECT_EQ(ByteBuffer_PushBytes(&buf.b, "defgh", 5), SB_OK);
    EXPECT_EQ(buf.b.capacity, 8u);
    ByteBuffer_Reserve(&buf.b, 5);
    ByteBuffer_Reserve(&buf.b, 11);
    EXPECT_EQ(buf.b.capacity, 11u);
    EXPECT_EQ(buf.text(), "abcdefgh");
}

// Every conversion takes the argument printf would take, so the compiler's check of the
// templates holds; what cannot be formatted that way fails the whole push.
TEST(ByteBufferTest, FormattedPushTakesArgumentsAsPrintfDoes) {
    Buffer buf;
    ByteBuffer& b = buf.b;
    const char* volatile none = nullptr;  // unknown to the compiler, which rejects a literal null
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "[%s|%s|%4s|%-3s]", "text", none, "ab", "c"), SB_OK);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "%i %d %u %x %X %c %o %05.1f %g %e|", -7, 12, 4000000000u, 255, 255, 'Q', 8,
                                    2.5, 0.5, 1.0),
              SB_OK);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "100%% %i", 42), SB_OK);
    EXPECT_EQ(buf.text(), "[text|(null)|  ab|c  ]-7 12 4000000000 ff FF Q 10 002.5 0.5 1.000000e+00|100% 42");

    ByteBuffer_DropFront(&b, b.length);
    ByteBuffer_PushBytes(&b, "kept", 4);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "a%ld", 5L), SB_ERR_TRUNCATED);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "a%hhu", static_cast<unsigned char>(5)), SB_ERR_TRUNCATED);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "a%*d", 5, 5), SB_ERR_TRUNCATED);
    EXPECT_EQ(ByteBuffer_PushFormat(&b, "a%900d", 5), SB_ERR_TRUNCATED);  // wider than the scratch buffer
    EXPECT_EQ(buf.text(), "kept");
}

TEST(HttpGetHeaderTest, FindsValuesCaseInsensitivelyWithinTheHead) {
    const char* head = "POST /x HTTP/1.1\r\nHost: example\r\ncontent-length: \t 42\r\nX-Content-Length-Extra: 9\r\n\r\n"
                       "After: blank\r\n";
    const struct {
        const char* head;
        const char* name;
        const char* value;  // the line's rest up to "\r"; null when not found
    } cases[] = {
        {head, "Content-Length", "42"},
        {head, "HOST", "example"},
        {head, "Content", nullptr},  // a name must be followed by its colon
        {head, "After", nullptr},    // nothing after the blank line is a header
        {"GET: odd\r\n\r\n", "get", "odd"},  // the request line is looked at like any other
        {"GET / HTTP/1.1\nHost: a\n\n", "Host", nullptr},  // only "\r" ends a line
        {"A: 1\rB: 2", "b", "2"},
        {"", "Host", nullptr},
    };
    for (const auto& c : cases) {
        const char* value = Http_GetHeader(c.head, c.name);
        if (!c.value) EXPECT_EQ(value, nullptr) << c.name;
        else if (!value) ADD_FAILURE() << c.name;
        else EXPECT_EQ(std::string(value).substr(0, std::string(value).find('\r')), c.value) << c.name;
    }
}

TEST(HttpUrlDecodeTest, DecodesEscapesStopsAtTheQueryAndCutsAtTheSize) {
    const struct {
        const char* source;
        const char* decoded;
        size_t size;
        int result;
    } cases[] = {
        {"/a%20b+c", "/a b c", 64, SB_OK},
        {"/api/1/port=3?x=1", "/api/1/port=3", 64, SB_OK},
        {"/a&b", "/a", 64, SB_OK},
        {"/path HTTP/1.1\r\n", "/path", 64, SB_OK},
        {"%2F%2f%41%4", "//A%4", 64, SB_OK},  // a percent sign without two characters after it stays
        {"x%", "x%", 64, SB_OK},
        {"%3g", "\x40", 64, SB_OK},  // digits are not validated: "g" counts as 16
        {"/abcdef", "/abc", 5, SB_ERR_TRUNCATED},
        {"/abc", "/abc", 5, SB_OK},
    };
    for (const auto& c : cases) {
        char out[64];
        EXPECT_EQ(Http_UrlDecode(out, c.source, c.size), c.result) << c.source;
        EXPECT_STREQ(out, c.decoded) << c.source;
    }
}

}  // namespace
}  // namespace http
