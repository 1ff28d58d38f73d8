#include "platform/files.h"

namespace platform {

bool isValidUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p++;
        if (c < 0x80) continue;
        int more;
        unsigned lowest;  // the smallest value the form may carry
        unsigned value;
        if ((c & 0xE0) == 0xC0) more = 1, lowest = 0x80, value = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) more = 2, lowest = 0x800, value = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) more = 3, lowest = 0x10000, value = c & 0x07;
        else return false;
        if (end - p < more) return false;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
            value = value << 6 | (*p & 0x3F);
        }
        if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    }
    return true;
}

}  // namespace platform
