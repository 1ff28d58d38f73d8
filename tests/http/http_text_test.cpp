// The server's text functions: the byte buffer's formatted push, header lookup, URL decoding and
// the reading of a request's site headers.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "http/byte_buffer.h"
#include "http/http_server.h"
#include "http/request_guard.h"

namespace http {
namespace {

// The template language: the listed letters format their argument, every other letter (and an
// "s" with a width) stands for itself and takes none; what cannot be formatted safely fails the
// whole push. Through the va_list entry, which the compiler does not check.
int push(ByteBuffer* b, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = ByteBuffer_PushFormatV(b, format, args);
    va_end(args);
    return result;
}

TEST(ByteBufferTest, FormattedPushFollowsTheTemplateRules) {
    ByteBuffer b{};
    const auto text = [&] { return std::string(reinterpret_cast<const char*>(b.data), b.length); };
    EXPECT_EQ(push(&b, "[%s|%s]", "text", static_cast<const char*>(nullptr)), SB_OK);
    EXPECT_EQ(push(&b, "%i %d %u %x %X %c %05.1f %g|", -7, 12, 4000000000u, 255, 255, 'Q', 2.5, 0.5), SB_OK);
    EXPECT_EQ(push(&b, "100%% %5s %e %ld|%i", 42), SB_OK);
    EXPECT_EQ(text(), "[text|(null)]-7 12 4000000000 ff FF Q 002.5 0.5|100% s e ld|42");

    ByteBuffer_DropFront(&b, b.length);
    ByteBuffer_PushBytes(&b, "kept", 4);
    EXPECT_EQ(push(&b, "abc%*d", 5), SB_ERR_TRUNCATED);   // the C library would read an argument never passed
    EXPECT_EQ(push(&b, "abc%1$d", 5), SB_ERR_TRUNCATED);
    EXPECT_EQ(push(&b, "abc%900d", 5), SB_ERR_TRUNCATED);  // wider than the scratch buffer
    EXPECT_EQ(text(), "kept");
    ByteBuffer_Free(&b);
}

TEST(HttpGetHeaderTest, FindsValuesCaseInsensitivelyWithinTheHead) {
    const char* head = "POST /x HTTP/1.1\r\nHost: example\r\ncontent-length: \t 42\r\nX-Content-Length-Extra: 9\r\n\r\n"
                       "After: blank\r\n";
    const struct {
        const char* head;
        const char* name;
        const char* value;  // the line's rest up to "\r"; null when not found
    } cases[] = {
        {head, "Content-Length", "42"}, {head, "HOST", "example"}, {"A: 1\rB: 2", "b", "2"}, {"", "Host", nullptr},
        {head, "Content", nullptr},  // a name must be followed by its colon
        {head, "After", nullptr},    // nothing after the blank line is a header
        {"GET: odd\r\n\r\n", "get", "odd"},  // the request line is looked at like any other
        {"GET / HTTP/1.1\nHost: a\n\n", "Host", nullptr},  // only "\r" ends a line
    };
    for (const auto& c : cases) {
        const char* value = Http_GetHeader(c.head, c.name);
        const std::string line = value ? std::string(value).substr(0, std::string(value).find('\r')) : "<none>";
        EXPECT_EQ(line, c.value ? c.value : "<none>") << c.name;
    }
}

TEST(HttpUrlDecodeTest, DecodesEscapesStopsAtTheQueryAndCutsAtTheSize) {
    const struct {
        const char* source;
        const char* decoded;
        size_t size;
        int result;
    } cases[] = {
        {"/a%20b+c", "/a b c", 64, SB_OK},     {"/api/1/port=3?x=1", "/api/1/port=3", 64, SB_OK},
        {"/a&b", "/a", 64, SB_OK},             {"/path HTTP/1.1\r\n", "/path", 64, SB_OK},
        {"x%", "x%", 64, SB_OK},               {"/abcdef", "/abc", 5, SB_ERR_TRUNCATED},
        {"/abc", "/abc", 5, SB_OK},
        {"%2F%2f%41%4", "//A%4", 64, SB_OK},  // a percent sign without two characters after it stays
        {"%3g", "\x40", 64, SB_OK},          // digits are not validated: "g" counts as 16
    };
    for (const auto& c : cases) {
        char out[64];
        EXPECT_EQ(Http_UrlDecode(out, c.source, c.size), c.result) << c.source;
        EXPECT_STREQ(out, c.decoded) << c.source;
    }
}

// What a browser sends for the plugin's own page, for another site's page and for a name that
// was made to resolve to this machine; clients without these headers are served.
TEST(HttpRefusalTest, RefusesOtherSitesAndForeignNamesOnly) {
    const auto refused = [](const char* headers) {
        const std::string head = std::string("GET /api/1/port=5 HTTP/1.1\r\n") + headers + "\r\n";
        return Http_RefusalText(head.c_str(), "studio-pc.lan") != nullptr;
    };
    // The plugin's own page by any address or name, an address typed in, a client without headers.
    for (const char* served :
         {"", "Host:\r\n", "Host: [::1]:8000\r\n", "Host: LOCALHOST:8000\r\n", "Host: studio-pc.local.\r\n",
          "Host: studio-pc.lan\r\n", "Host: Studio-PC:8000\r\nSec-Fetch-Site: none\r\n",
          "Host: 127.0.0.1:8000\r\nSec-Fetch-Site: same-origin\r\nOrigin: http://127.0.0.1:8000\r\n",
          "Host: 10.0.0.1\r\nOrigin: HTTP://10.0.0.1:80\r\n"})
        EXPECT_FALSE(refused(served)) << served;
    // Other sites' pages (another port of this machine is one), names only made to resolve here.
    for (const char* other :
         {"Sec-Fetch-Site: cross-site\r\n", "Host: localhost:8000\r\nSec-Fetch-Site: same-site\r\n",
          "Host: 127.0.0.1:8000\r\nOrigin: http://127.0.0.1:3000\r\n", "Host: 127.0.0.1:8000\r\nOrigin: null\r\n",
          "Host: 127.0.0.1:8000\r\nOrigin: https://127.0.0.1:8000\r\n", "Origin: http://127.0.0.1:8000\r\n",
          "Host: studio-pc.attacker.example\r\n", "Host: localhost.attacker.example\r\n",
          "Host: 127.0.0.1.attacker.example\r\n", "Host: 2130706433:8000\r\n", "Host: 127.0.0.256\r\n"})
        EXPECT_TRUE(refused(other)) << other;
    EXPECT_EQ(Http_RefusalText(nullptr, "studio-pc"), nullptr);
    EXPECT_FALSE(Http_IsOwnHost("studio-pc", ""));  // a machine without a name has only addresses
}

}  // namespace
}  // namespace http
