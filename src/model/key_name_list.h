// The names of one articulation's piano keys. A state carries up to 64 lists of 128 names, and
// a string object per name cost more to save and load than everything else in it together, so
// the 148 texts lie in one block, each followed by a NUL so that the host can be handed an
// entry as it is. [ui], as the records it belongs to.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace model {

inline constexpr int kKeyNameCount = 148;  // entries 0..131 used, 132..147 always empty

class KeyNameList {
public:
    KeyNameList() = default;
    KeyNameList(const KeyNameList& other);
    KeyNameList& operator=(const KeyNameList& other);

    // How many entries have a name.
    int named() const;

    // Entry `key` (0..147), empty when it has no name. The view's data ends in a NUL and stays
    // valid until the list changes.
    std::string_view operator[](int key) const { return {c_str(key), entries_[static_cast<size_t>(key)].length}; }
    const char* c_str(int key) const {
        return text_ ? text_.get() + entries_[static_cast<size_t>(key)].offset : "";
    }

    // Names entry `key`; an empty text clears it. `text` may be an entry of this list, and holds
    // no NUL: the host would read the name only up to it.
    void set(int key, std::string_view text);

    bool operator==(const KeyNameList& other) const;
    bool operator!=(const KeyNameList& other) const { return !(*this == other); }

    // The packed form that states keep: each named entry in key order as its 16-bit number,
    // the 16-bit length of its text and the text, little-endian. A text longer than a count
    // can say is cut where a character starts.
    //
    // At most packedBound() bytes, written at `out`, which has kPackSlack bytes more room for
    // names copied by the word; returns where they end and says how many entries they hold.
    static constexpr size_t kPackSlack = 16;
    size_t packedBound() const { return 4 * entries_.size() + used_; }
    uint8_t* pack(uint8_t* out, int& entries) const;
    // Reads up to `count` packed entries from the `size` bytes at `data` as `set` would take
    // them, a text only up to its first zero byte and a number beyond the list passed over.
    // Returns the bytes the whole entries took; `complete` says whether there were `count`.
    size_t unpack(const uint8_t* data, size_t size, size_t count, bool& complete);

    // The bytes the texts may take, replaced names included: what the list keeps bounded.
    size_t textCapacity() const { return capacity_; }

private:
    struct Entry {
        uint32_t offset = 0;  // 0 for an empty entry: the block starts with a NUL
        uint32_t length = 0;
    };
    // Copies the names, read from `from`, end to end in key order into a new block with `room`
    // bytes to spare (`doubling`: twice what the names and `room` take, no less than a minimum).
    // Returns the block it replaces, which `from` and a name being set may point into.
    std::unique_ptr<char[]> repack(const char* from, size_t room, bool doubling);

    std::array<Entry, kKeyNameCount> entries_{};
    // The texts; kPackSlack bytes past its capacity let names be copied in and out by the word.
    std::unique_ptr<char[]> text_;
    size_t used_ = 0;  // bytes of the block in use, replaced names included until the next repack
    size_t capacity_ = 0;
};

}  // namespace model
