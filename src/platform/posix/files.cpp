#include "platform/files.h"

namespace platform {

std::FILE* openFile(const std::string& utf8Path, const char* mode) { return std::fopen(utf8Path.c_str(), mode); }

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& utf8Path) { return std::remove(utf8Path.c_str()) == 0; }

std::string pathFromHost(const char* text) {
    if (!text) return std::string();
    std::string in(text);
    if (isValidUtf8(in)) return in;
    // No code page to ask here: the bytes are read as Latin-1, which every byte is.
    std::string out;
    out.reserve(in.size() * 2);
    for (const char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace platform
