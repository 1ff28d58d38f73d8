// Writes state streams by hand, little-endian, so tests read like the layouts they build:
//   StreamBuilder().i32(3).i32(channel).i32(port).column(16, -1).str("Legato")
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class StreamBuilder {
public:
    StreamBuilder& u8(uint8_t v) { return put(v, 1); }
    StreamBuilder& i8(int8_t v) { return put(static_cast<uint8_t>(v), 1); }
    StreamBuilder& u16(uint16_t v) { return put(v, 2); }
    StreamBuilder& i32(int32_t v) { return put(static_cast<uint32_t>(v), 4); }
    // A column of `count` int32 values; `f(i)` gives value i.
    template <typename F>
    StreamBuilder& column(int count, F f) {
        for (int i = 0; i < count; ++i) i32(f(i));
        return *this;
    }
    StreamBuilder& column(int count, int32_t value) {
        return column(count, [value](int) { return value; });
    }
    StreamBuilder& str(const std::string& s) {
        u16(static_cast<uint16_t>(s.size()));
        return raw(s);
    }
    StreamBuilder& str8(const std::string& s) {
        u8(static_cast<uint8_t>(s.size()));
        return raw(s);
    }
    StreamBuilder& strs(int count, const std::string& s = "") {
        for (int i = 0; i < count; ++i) str(s);
        return *this;
    }
    StreamBuilder& key(const std::string& name, int32_t value) { return str(name).i32(value); }
    StreamBuilder& raw(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }

    std::vector<uint8_t> bytes;

private:
    StreamBuilder& put(uint32_t v, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
};

}  // namespace testing_support
