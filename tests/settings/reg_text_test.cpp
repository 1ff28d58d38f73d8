#include "platform/reg_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace platform {
namespace {

constexpr const char* kKey = "Software\\KRYL\\KRYL Voxtrane";
const std::string kHead = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane]\n";

std::string readString(const RegDocument& doc, const char* name, const char* key = kKey) {
    std::string out;
    return doc.readString(key, name, out) ? out : "<missing>";
}

// A file as another tool or a user may leave it: other hives and keys, other value types, a
// binary value continued over lines, a default value and comments.
const std::string kForeignFile =
    "Windows Registry Editor Version 5.00\n\n"
    "; kept by hand\n"
    "[HKEY_LOCAL_MACHINE\\Software\\KRYL\\KRYL Voxtrane]\n"
    "\"HTTP Port\"=\"1234\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\KRYL\\KRYL Voxtrane]\n"
    "@=\"default\"\n"
    "\"Blob\"=hex:01,02,03,\\\n  04,05\n"
    "\"HTTP Port\"=\"9000\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\Someone Else]\n"
    "\"HTTP API\"=dword:00000001\n\n";

TEST(RegText, ValuesAreReadFromTheirOwnKeyAndWritesChangeOnlyTheirOwnLines) {
    RegDocument doc = RegDocument::parse(kForeignFile);
    EXPECT_EQ(readString(doc, "HTTP Port"), "9000");
    EXPECT_EQ(readString(doc, "http port", "SOFTWARE\\kryl\\KRYL VOXTRANE"), "9000");  // as the registry compares
    EXPECT_EQ(readString(doc, "Blob"), "<missing>");
    uint32_t v = 0;
    EXPECT_FALSE(doc.readDword(kKey, "HTTP API", v));  // set under another key only
    EXPECT_FALSE(doc.readDword(kKey, "HTTP Port", v));

    doc.setString(kKey, "HTTP Port", "8080");
    doc.setDword(kKey, "HTTP API", 10);
    doc.setDword(kKey, "Blob", 0xFFFFFFFFu);  // a value continued over lines is replaced whole
    std::string expected = kForeignFile;
    expected.replace(expected.find("hex:01"), 22, "dword:ffffffff");
    expected.replace(expected.find("\"9000\"\n"), 7, "\"8080\"\n\"HTTP API\"=dword:0000000a\n");
    EXPECT_EQ(doc.format(), expected);
    std::string crlf;
    for (const char c : kForeignFile) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(RegDocument::parse(crlf).format(), crlf);

    // A new key gets a section of its own; of several settings of a value, one is left.
    RegDocument fresh = RegDocument::parse(kHead + "\"V\"=\"1\"\n\"v\"=dword:00000001\n");
    fresh.setDword(kKey, "V", 2);
    fresh.setString("Software\\Image-Line\\Shared\\General", "Main PPI", "144");
    EXPECT_EQ(fresh.format(), kHead + "\"V\"=dword:00000002\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\Image-Line\\Shared\\General]\n"
                                      "\"Main PPI\"=\"144\"\n\n");

    // A file cut off inside a continued value must not take a new value as its continuation.
    RegDocument cut = RegDocument::parse(kHead + "\"B\"=hex:01,\\");
    cut.setDword(kKey, "d", 42);
    EXPECT_TRUE(RegDocument::parse(cut.format()).readDword(kKey, "d", v) && v == 42u);
}

TEST(RegText, StringsAreEscapedAndTrimmedAtTheirZeroPadding) {
    RegDocument doc;
    const std::string path = "C:\\Banks\\\"quoted\" names.txt";
    ASSERT_TRUE(doc.setString(kKey, "Path", path));
    ASSERT_TRUE(doc.setString(kKey, "UI Scale", std::string("1.500000\0\0\0", 11)));
    const std::string text = doc.format();
    EXPECT_EQ(text, std::string(kRegFileHeader) + "\n\n[HKEY_CURRENT_USER\\" + kKey +
                        "]\n\"Path\"=\"C:\\\\Banks\\\\\\\"quoted\\\" names.txt\"\n\"UI Scale\"=\"1.500000\"\n\n");
    EXPECT_EQ(readString(RegDocument::parse(text), "Path"), path);

    // The format cannot carry a line break: the write is refused rather than forge a section.
    EXPECT_FALSE(doc.setString(kKey, "UI Scale", "1\n[HKEY_CURRENT_USER\\Evil]"));
    EXPECT_EQ(doc.format(), text);
}

TEST(RegText, MalformedLinesReadAsMissing) {
    const struct {
        const char* what;
        std::string line;
        bool namesTheValue;  // then it hides earlier settings of the value, as its import would
    } cases[] = {
        {"truncated string", "\"V\"=\"12", true},        {"unknown escape", "\"V\"=\"C:\\Banks\"", true},
        {"junk after string", "\"V\"=\"12\"x", true},     {"short dword", "\"V\"=dword:0000", true},
        {"long dword", "\"V\"=dword:000000001", true},    {"bad hex digit", "\"V\"=dword:0000000g", true},
        {"deleted", "\"V\"=-", true},                      {"truncated name", "\"V", false},
        {"unquoted name", "V=\"12\"", false},              {"control byte", "\"V\"=\"1\x01\"", false},
        {"huge line", "\"V\"=\"" + std::string(300000, '9'), true},
        {"zero byte", std::string("\"V\"=\"1\0002\"", 9), false},
    };
    std::string s;
    for (const auto& c : cases) {
        uint32_t v = 0;
        const RegDocument doc = RegDocument::parse(kHead + c.line + "\n");
        EXPECT_FALSE(doc.readString(kKey, "V", s) || doc.readDword(kKey, "V", v)) << c.what;
        const RegDocument later = RegDocument::parse(kHead + "\"V\"=\"1\"\n" + c.line + "\n");
        EXPECT_EQ(later.readString(kKey, "V", s), !c.namesTheValue) << c.what;
    }
    const std::string good = "\"V\"=\"1\"\n";
    EXPECT_FALSE(RegDocument::parse(good + kHead).readString(kKey, "V", s));  // header not first
    EXPECT_FALSE(RegDocument::parse(std::string(kRegFileHeader) + "\n" + good).readString(kKey, "V", s));  // no section
    EXPECT_FALSE(RegDocument::parse(kHead + good + std::string(kRegFileMaxBytes, ';')).readString(kKey, "V", s));
    // A UTF-8 byte order mark, CRLF and spaces around "=" are accepted.
    EXPECT_TRUE(RegDocument::parse("\xEF\xBB\xBF" + kHead + "\"V\" = \"1\" \r\n").readString(kKey, "V", s));
}

}  // namespace
}  // namespace platform
