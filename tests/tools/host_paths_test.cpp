// Paths as a host hands them over: UTF-8 when they are valid UTF-8, else the ANSI code page (on
// POSIX Latin-1). The bytes here read the same in Windows-1252 and Latin-1.
#include <gtest/gtest.h>

#include "platform/files.h"

namespace {

TEST(HostPaths, ValidUtf8StaysAndAnythingElseIsReadInTheCodePage) {
    const struct {
        const char* from;
        const char* utf8;
    } cases[] = {
        {"C:\\Sons\\Biblioth\xC3\xA8que\\Cordes.krylvox", "C:\\Sons\\Biblioth\xC3\xA8que\\Cordes.krylvox"},
        {"C:\\Sons\\Biblioth\xE8que\\Cordes.krylvox", "C:\\Sons\\Biblioth\xC3\xA8que\\Cordes.krylvox"},
        {"\xF0\x9F\x8E\xBB.nki", "\xF0\x9F\x8E\xBB.nki"},  // four bytes, one character
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // an overlong '/' is not UTF-8
        {"\xED\xBF\xBF", "\xC3\xAD\xC2\xBF\xC2\xBF"},      // nor is a surrogate
        {"abc\xC3", "abc\xC3\x83"},                        // nor a sequence cut short
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::pathFromHost(c.from), c.utf8) << c.from;
    EXPECT_EQ(platform::pathFromHost(nullptr), "");
}

}  // namespace
