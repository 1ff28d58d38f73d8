#include "model/key_name_list.h"

#include <algorithm>
#include <cstring>

#include "model/utf8.h"

namespace model {

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "packed entries and word scans are little-endian");

constexpr size_t kSmallestBlock = 256;
// A first guess at a name's room when a list is read from a state, so that it seldom grows.
constexpr size_t kUsualName = 16;
constexpr size_t kWord = 8;
constexpr size_t kChunk = KeyNameList::kPackSlack;

template <typename Word>
Word load(const void* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The index of the first zero byte of a little-endian word, or 8 when it has none. A borrow
// marks only bytes after a true zero, so the first mark is exact.
size_t firstZero(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    const uint64_t marks = (w - kOnes) & ~w & (kOnes << 7);
    return marks ? static_cast<size_t>(__builtin_ctzll(marks)) / 8 : 8;
}

// How many of the `length` bytes at `text` come before the first zero byte, read a word at a
// time while `readable` bytes (at least `length`) allow.
size_t zeroFreeLength(const char* text, size_t length, size_t readable) {
    size_t at = 0;
    while (readable - at >= kWord) {
        const size_t zero = at + firstZero(load<uint64_t>(text + at));
        if (zero < at + kWord || at + kWord >= length) return std::min(zero, length);
        at += kWord;
    }
    for (; at < length; ++at)
        if (text[at] == 0) return at;
    return length;
}

// Copies `n` bytes by the chunk when `readable` bytes at `from` allow; `to` has room for a
// chunk more than `n`. Names run to a few bytes: a chunk or two cost less than a library call.
void copyName(char* to, const char* from, size_t n, size_t readable) {
    if (readable - n >= kChunk) {
        for (size_t at = 0; at < n; at += kChunk) std::memcpy(to + at, from + at, kChunk);
    } else {
        for (size_t at = 0; at < n; ++at) to[at] = from[at];
    }
}

}  // namespace

KeyNameList::KeyNameList(const KeyNameList& other) : entries_(other.entries_), used_(other.used_) {
    if (other.text_) repack(other.text_.get(), 0, false);
}

KeyNameList& KeyNameList::operator=(const KeyNameList& other) {
    if (this != &other) {
        KeyNameList copy(other);
        entries_ = copy.entries_;
        text_ = std::move(copy.text_);
        used_ = copy.used_;
        capacity_ = copy.capacity_;
    }
    return *this;
}

int KeyNameList::named() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.length != 0; }));
}

void KeyNameList::set(int key, std::string_view text) {
    Entry& e = entries_[static_cast<size_t>(key)];
    const size_t n = text.size();
    if (n != 0 && n <= e.length) {
        // In place; `text` may be a part of the name it replaces.
        char* at = text_.get() + e.offset;
        std::memmove(at, text.data(), n);
        at[n] = '\0';
        e.length = static_cast<uint32_t>(n);
        return;
    }
    e = {};
    if (n == 0) return;
    std::unique_ptr<char[]> previous;  // kept until the copy is done: `text` may lie in it
    if (capacity_ - used_ <= n) previous = repack(text_.get(), n + 1, true);
    char* at = text_.get() + used_;
    std::memcpy(at, text.data(), n);
    at[n] = '\0';
    e = {static_cast<uint32_t>(used_), static_cast<uint32_t>(n)};
    used_ += n + 1;
}

bool KeyNameList::operator==(const KeyNameList& other) const {
    for (int key = 0; key < kKeyNameCount; ++key)
        if ((*this)[key] != other[key]) return false;
    return true;
}

uint8_t* KeyNameList::pack(uint8_t* out, int& entries) const {
    const char* block = text_.get();
    int packed = 0;  // counted here, not through `entries`, which the stores may alias
    for (size_t key = 0; key < entries_.size(); ++key) {
        const Entry e = entries_[key];
        if (e.length == 0) continue;
        const char* text = block + e.offset;
        const size_t length = utf8Prefix(text, e.length, 0xFFFF);
        const uint32_t head = static_cast<uint32_t>(key | length << 16);
        std::memcpy(out, &head, sizeof head);
        // The block's slack makes a chunk readable from any name.
        copyName(reinterpret_cast<char*>(out + 4), text, length, length + kChunk);
        out += 4 + length;
        ++packed;
    }
    entries = packed;
    return out;
}

size_t KeyNameList::unpack(const uint8_t* data, size_t size, size_t count, bool& complete) {
    const size_t guess = std::min(size, std::min(count, entries_.size()) * kUsualName);
    if (capacity_ - used_ < guess) repack(text_.get(), guess, false);
    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    for (;;) {
        // The block in locals while names go in, up to one that does not fit. Each entry's
        // length says where the next one starts: that chain sets the pace.
        char* const block = text_.get();
        const size_t capacity = capacity_;
        size_t used = used_;
        for (; count != 0; --count) {
            const size_t avail = static_cast<size_t>(end - p);
            if (avail < 4) break;
            const uint32_t head = load<uint32_t>(p);
            const size_t key = head & 0xFFFF, length = head >> 16;
            const size_t readable = avail - 4;
            if (readable < length) break;
            const char* text = reinterpret_cast<const char*>(p + 4);
            if (key < entries_.size()) {
                if (capacity - used <= length) break;
                char* to = block + used;
                size_t n;
                if (length <= kChunk && readable >= kChunk) {
                    // The usual name: two words at most, scanned and copied whole.
                    size_t zero = firstZero(load<uint64_t>(text));
                    if (zero == kWord) zero += firstZero(load<uint64_t>(text + kWord));
                    n = std::min(zero, length);
                    std::memcpy(to, text, kChunk);
                } else {
                    n = zeroFreeLength(text, length, readable);
                    copyName(to, text, n, readable);
                }
                to[n] = '\0';
                entries_[key] = n != 0 ? Entry{static_cast<uint32_t>(used), static_cast<uint32_t>(n)} : Entry{};
                used += n != 0 ? n + 1 : 0;
            }
            p = reinterpret_cast<const uint8_t*>(text) + length;
        }
        used_ = used;
        // Stopped short for want of room (grow and go on) or of data.
        const size_t avail = static_cast<size_t>(end - p);
        if (count == 0 || avail < 4) break;
        const size_t length = load<uint16_t>(p + 2);
        if (avail - 4 < length) break;
        repack(text_.get(), length + 1, true);
    }
    complete = count == 0;
    return static_cast<size_t>(p - data);
}

std::unique_ptr<char[]> KeyNameList::repack(const char* from, size_t room, bool doubling) {
    // A list without names, as one read from a state starts, has no entries to go through.
    const bool names = used_ > 1;
    size_t live = 1;  // the NUL that empty entries share
    if (names)
        for (const Entry& e : entries_)
            if (e.length != 0) live += e.length + 1;
    const size_t capacity = doubling ? std::max(kSmallestBlock, 2 * (live + room)) : live + room;
    std::unique_ptr<char[]> block(new char[capacity + kPackSlack]);
    block[0] = '\0';
    size_t at = 1;
    if (names)
        for (Entry& e : entries_) {
            if (e.length == 0) continue;
            std::memcpy(block.get() + at, from + e.offset, e.length + 1);
            e.offset = static_cast<uint32_t>(at);
            at += e.length + 1;
        }
    text_.swap(block);
    used_ = at;
    capacity_ = capacity;
    return block;
}

}  // namespace model
