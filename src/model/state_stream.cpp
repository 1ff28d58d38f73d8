#include "model/state_stream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/defaults.h"
#include "model/host_facts.h"
#include "model/key_names.h"
#include "model/options.h"
#include "model/utf8.h"

namespace model {

namespace {

constexpr int kOldFormatArticulations = kBankSize;  // formats 1..7 hold bank 1 only
constexpr int kForeignKnobs = 72;
constexpr int kForeignTrailingStrings = 8;
// Far more records than a foreign state can name; only a damaged one gets there.
constexpr int kForeignRecordLimit = 4096;

constexpr int kMinimisedHeightLoss = kEditorHeight - kEditorHeightMinimised;
constexpr float kSmallestScale = 0.0001f;
constexpr int32_t kModWheel = 1;

// States are little-endian, as is every machine the plugin is built for: numbers are copied
// as they lie.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "states are little-endian");

// A byte buffer that grows by doubling and leaves new room uninitialised: states run to
// hundreds of kilobytes, written and read a few bytes at a time.
class Bytes {
public:
    size_t size() const { return size_; }
    size_t room() const { return capacity_ - size_; }
    const uint8_t* data() const { return data_.get(); }
    // Room for `count` more bytes at the end, counted as used.
    uint8_t* extend(size_t count) {
        if (room() < count) grow(count);
        uint8_t* p = data_.get() + size_;
        size_ += count;
        return p;
    }
    void grow(size_t count = 1) {
        const size_t capacity = std::max(capacity_ * 2, std::max<size_t>(size_ + count, 128 * 1024));
        std::unique_ptr<uint8_t[]> grown(new uint8_t[capacity]);
        if (size_) std::memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }
    void shrink(size_t size) { size_ = std::min(size, size_); }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// ---- Writing -------------------------------------------------------------------------------

class Writer {
public:
    void i32(int32_t v) { put(static_cast<uint32_t>(v), 4); }
    void u16(uint32_t v) { put(v, 2); }
    // Longer strings than a count can say are cut, so the rest of the state still lines up.
    void str(std::string_view s) {
        const size_t length = utf8Prefix(s.data(), s.size(), 0xFFFF);
        uint8_t* p = bytes_.extend(2 + length);
        p[0] = static_cast<uint8_t>(length);
        p[1] = static_cast<uint8_t>(length >> 8);
        std::memcpy(p + 2, s.data(), length);
    }
    // The count of named entries, then the entries in the list's packed form; the count goes
    // in front once they are written.
    void keyNames(const KeyNameList* list) {
        if (!list) {
            u16(0);
            return;
        }
        const size_t at = bytes_.size();
        uint8_t* const start = bytes_.extend(2 + list->packedBound() + KeyNameList::kPackSlack);
        int entries = 0;
        const uint8_t* const end = list->pack(start + 2, entries);
        start[0] = static_cast<uint8_t>(entries);
        start[1] = static_cast<uint8_t>(entries >> 8);
        bytes_.shrink(at + static_cast<size_t>(end - start));
    }
    void keyed(const char* key, int32_t value) {
        str(key);
        i32(value);
    }
    template <typename Array>
    void column(const Array& values, int count) {
        uint8_t* p = bytes_.extend(4 * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i, p += 4) {
            const int32_t v = values[i];
            std::memcpy(p, &v, 4);
        }
    }
    template <typename Array>
    void strings(const Array& values, int count) {
        for (int i = 0; i < count; ++i) str(values[i]);
    }
    const Bytes& bytes() const { return bytes_; }

private:
    void put(uint32_t v, size_t size) { std::memcpy(bytes_.extend(size), &v, size); }
    Bytes bytes_;
};

int storedArticulationCount(const Articulations& a) {
    for (int i = kArticulationCount - 1; i >= 0; --i)
        if (!isArticulationEmpty(a, i)) return i + 1;
    return kBankSize;
}

// ---- Reading -------------------------------------------------------------------------------

template <typename T>
T littleEndian(const uint8_t* b) {
    T v;
    std::memcpy(&v, b, sizeof v);
    return v;
}

// Little-endian reads that leave their target alone when the data has run out; once it has,
// every later read fails too, so a short state leaves the rest at its reset values. The source
// is read whole first: a host stream answers each read through a call of its own, and a state
// holds thousands of fields.
class Reader {
public:
    explicit Reader(ByteSource& source) {
        for (;;) {
            // Whatever room is left, so a read that comes back short costs no growth.
            if (bytes_.room() == 0) bytes_.grow();
            const size_t room = bytes_.room();
            const size_t n = source.read(bytes_.extend(room), room);
            bytes_.shrink(bytes_.size() - room + std::min(n, room));
            if (n == 0) break;
        }
    }

    bool ended() const { return ended_; }

    template <typename T>
    bool get(T& out) {
        static_assert(std::is_integral<T>::value, "integers only");
        const uint8_t* b = take(sizeof(T));
        if (!b) return false;
        out = littleEndian<T>(b);
        return true;
    }
    int32_t i32() {
        int32_t v = 0;
        get(v);
        return v;
    }

    // A counted string, taken up to its first zero byte.
    template <typename Count>
    bool text(std::string& out) {
        Count length = 0;
        if (!get(length)) return false;
        const auto* p = reinterpret_cast<const char*>(take(length));
        if (!p) return false;
        const void* zero = std::memchr(p, 0, length);
        out.clear();
        out.append(p, zero ? static_cast<size_t>(static_cast<const char*>(zero) - p) : size_t{length});
        return true;
    }
    bool str(std::string& out) { return text<uint16_t>(out); }
    bool shortStr(std::string& out) { return text<uint8_t>(out); }

    void skip(size_t count) { take(count); }
    // The next `count` bytes when that many are left; null, with nothing read, when not.
    const uint8_t* tryTake(size_t count) {
        if (ended_ || bytes_.size() - at_ < count) return nullptr;
        return take(count);
    }

    // `count` key-name entries in the packed form of a list, into `list`; without one they are
    // read past.
    void keyNames(KeyNameList* list, size_t count) {
        if (ended_) return;
        if (!list) {
            KeyNameList dropped;
            keyNames(&dropped, count);
            return;
        }
        bool complete = false;
        at_ += list->unpack(bytes_.data() + at_, bytes_.size() - at_, count, complete);
        if (!complete) ended_ = true;
    }

private:
    // The next `count` bytes, or null (and ended from then on) when fewer are left.
    const uint8_t* take(size_t count) {
        if (ended_ || bytes_.size() - at_ < count) {
            ended_ = true;
            return nullptr;
        }
        const uint8_t* p = bytes_.data() + at_;
        at_ += count;
        return p;
    }

    Bytes bytes_;
    size_t at_ = 0;
    bool ended_ = false;
};

// `count` values of a column: the ones that fit are stored, the rest read and dropped so that
// what follows still lines up.
template <typename T, size_t Size>
void readColumn(Reader& r, std::array<T, Size>& target, size_t count) {
    // In one step when the whole column is there.
    if (const uint8_t* p = r.tryTake(count * sizeof(T))) {
        for (size_t i = 0; i < count && i < Size; ++i) target[i] = littleEndian<T>(p + i * sizeof(T));
        return;
    }
    for (size_t i = 0; i < count && !r.ended(); ++i) {
        T value{};
        if (r.get(value) && i < Size) target[i] = value;
    }
}

template <size_t Size>
void readStrings(Reader& r, std::array<std::string, Size>& target, size_t count) {
    std::string dropped;
    for (size_t i = 0; i < count && !r.ended(); ++i) r.str(i < Size ? target[i] : dropped);
}

// `name` is in lower case; a state's keys are compared without regard to ASCII case.
bool keyIs(const std::string& key, const char* name) {
    size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i == key.size()) return false;
        const char c = key[i] >= 'A' && key[i] <= 'Z' ? static_cast<char>(key[i] - 'A' + 'a') : key[i];
        if (c != name[i]) return false;
    }
    return i == key.size();
}

int32_t lowBit(int32_t v) { return v & 1; }

// ---- Formats 8 to 10 -----------------------------------------------------------------------

// Keyed values that wait for the preserve rule; absent ones count as 0.
struct HeldValues {
    bool reached = false;  // the state got as far as its keyed values
    int32_t port = 0;
    int32_t channel = 0;
    int32_t page = 0;
    int32_t preserve = 0;
    int32_t midixtend = 0;
};

void applyKey(const std::string& key, int32_t v, int32_t format, InstanceOptions& o, HeldValues& held,
              LoadContext& context) {
    if (keyIs(key, "port")) held.port = v;
    else if (keyIs(key, "channel")) held.channel = v;
    else if (keyIs(key, "page")) held.page = v;
    else if (keyIs(key, "preserve")) held.preserve = lowBit(v);
    else if (keyIs(key, "midixtend")) {
        // Format 8 had no preserve rule for MIDI Extend yet.
        if (format == 8) o.midixtend = lowBit(v);
        else held.midixtend = lowBit(v);
    } else if (keyIs(key, "oldparams")) o.oldparams = v;
    else if (keyIs(key, "editing")) o.editing = v;
    else if (keyIs(key, "paramknob")) o.paramknob = v;
    else if (format >= 9 && keyIs(key, "minimised")) o.minimised = v != 0;
    else if (format >= 9 && keyIs(key, "singleeditor")) context.singleEditor = lowBit(v);
    else if (format >= 10 && keyIs(key, "articbanks")) o.articbanks = v != 0;
    else if (format >= 10 && keyIs(key, "startart")) o.startart = v;
    else if (format >= 10 && keyIs(key, "uiscale")) o.uiscale = static_cast<float>(v) / 100.0f;
    else {
        for (const OptionInfo& option : kOptions)
            if (option.plainFromFormat && format >= option.plainFromFormat && keyIs(key, option.stateKey)) {
                o.*option.field = lowBit(v);
                return;
            }
    }
}

HeldValues readKeyedValues(Reader& r, int32_t format, InstanceOptions& o, LoadContext& context) {
    HeldValues held;
    uint16_t count = 0;
    if (!r.get(count)) return held;
    held.reached = true;
    for (uint32_t i = 0; i < count; ++i) {
        std::string key;
        int32_t value = 0;
        if (!r.str(key) || !r.get(value)) break;
        applyKey(key, value, format, o, held, context);
    }
    return held;
}

void applyPreserveRule(const HeldValues& held, int32_t format, InstanceOptions& o, const LoadContext& context) {
    if (!held.reached) return;
    if (context.fresh || o.preserve == 0) o.preserve = held.preserve;
    if (context.fresh || o.preserve == 0) {
        o.channel = held.channel;
        o.port = held.port;
        o.page = held.page;
        if (format >= 9) o.midixtend = held.midixtend;
    } else if (format >= 9) {
        o.midixtend = context.midixtendBefore;
    }
}

// Returns how many articulations the state holds (at most 64).
int readArticulationBlock(Reader& r, int32_t format, Articulations& a) {
    uint16_t n = 0;
    if (!r.get(n)) return 0;
    readColumn(r, a.note, n);
    if (format >= 9) readColumn(r, a.notevel, n);
    readColumn(r, a.prog, n);
    readColumn(r, a.modw, n);
    readColumn(r, a.modc, n);
    readColumn(r, a.icon, n);
    readStrings(r, a.name, n);
    if (format < 9) return std::min<int>(n, kArticulationCount);

    for (int i = 0; i < n && !r.ended(); ++i) {
        const bool kept = i < kArticulationCount;
        std::string path;
        uint16_t k = 0;
        if (!r.str(path) || !r.get(k)) break;
        KeyNameList* list = nullptr;
        if (kept) {
            a.keynamespath[i] = std::move(path);
            if (k != 0) {
                a.keynames[i] = std::make_unique<KeyNameList>();
                list = a.keynames[i].get();
            }
        }
        r.keyNames(list, k);
    }
    return std::min<int>(n, kArticulationCount);
}

// Returns M, the controller count the state gave.
int readControllerBlock(Reader& r, int32_t format, InstanceRecords& records) {
    uint16_t p = 0;
    if (r.get(p)) readStrings(r, records.pageNames, p);
    uint16_t m = 0;
    if (!r.get(m)) return kControllerCount;
    Controllers& c = records.controllers;
    readColumn(r, c.value, m);
    readColumn(r, c.cc, m);
    readColumn(r, c.type, m);
    readColumn(r, c.defaultValue, m);
    readColumn(r, c.on, m);
    if (format >= 10) readColumn(r, c.lock, m);
    readStrings(r, c.name, m);
    r.get(records.controllerstart);
    return m;
}

// A Kontakt timing fix makes no sense without any controller change to wait for.
void dropIdleTimingFix(InstanceRecords& records) {
    const Articulations& a = records.articulations;
    for (int i = 0; i < kArticulationCount; ++i)
        if (a.modc[i] >= 0 || a.modw[i] != kNone) return;
    records.options.cctimerfix = 0;
}

void readModernFormat(Reader& r, int32_t format, InstanceRecords& records, LoadContext& context, LoadResult& result) {
    InstanceOptions& o = records.options;
    const int n = readArticulationBlock(r, format, records.articulations);
    if (format >= 9) {
        for (int i = 0; i < n; ++i)
            if (!records.articulations.keynamespath[i].empty()) result.keyNamesToReload.push_back(i);
    }
    const int m = readControllerBlock(r, format, records);

    if (format >= 9) o.changeanyrule = 0;
    const HeldValues held = readKeyedValues(r, format, o, context);
    // A loaded instance always opens on the first bank.
    o.startart = 0;
    if (format >= 9) dropIdleTimingFix(records);

    result.announceParameters = true;
    if (!o.paramknob) result.articulationIndex = kControllerNumberArticulationIndex;
    else if (format >= 10) result.articulationIndex = std::min(m, kNamedArticulationIndex);
    else result.articulationIndex = kNamedArticulationIndex;

    const int height = kEditorHeight - kMinimisedHeightLoss * (o.minimised ? 1 : 0);
    if (format >= 10) {
        const bool stored = o.uiscale >= kSmallestScale;
        if (!hostBefore12(context.hostVersion)) {
            if (stored) result.scale = o.uiscale;
            result.resizeEditor = context.editorHeight != height || stored;
        }
    } else if (format == 9) {
        result.resizeEditor = context.editorHeight != height;
    }
    applyPreserveRule(held, format, o, context);
}

// ---- Formats 1 to 7 ------------------------------------------------------------------------

// Formats 1 and 2 knew only keyswitches: 0 meant none, and any keyswitch got the first icon.
void readFirstKeyswitches(Reader& r, Articulations& a) {
    for (int i = 0; i < kOldFormatArticulations; ++i) {
        int32_t note = 0;
        if (!r.get(note)) return;
        a.note[i] = note == 0 ? kNone : note;
        if (note != 0) a.icon[i] = 1;
    }
}

// Formats 3 to 5 kept a UACC value in `prog` and a mod wheel value in `modw`.
void convertUaccPrograms(Articulations& a) {
    for (int i = 0; i < kOldFormatArticulations; ++i)
        if (a.modw[i] != kNone) a.modc[i] = kModWheel;
    for (int i = 0; i < kOldFormatArticulations; ++i)
        if (a.prog[i] != kNone && a.modw[i] == kNone) {
            a.modc[i] = kUaccCc;
            a.modw[i] = a.prog[i];
        }
    for (int i = 0; i < kOldFormatArticulations; ++i) a.prog[i] = kNone;
}

template <typename Array>
void readBankColumn(Reader& r, Array& column) {
    for (int i = 0; i < kOldFormatArticulations; ++i) r.get(column[i]);
}

void readOldFormat(Reader& r, int32_t format, InstanceRecords& records, const LoadContext& context) {
    InstanceOptions& o = records.options;
    Articulations& a = records.articulations;
    Controllers& c = records.controllers;
    o.oldparams = 1;  // these states count host parameters from CC 1
    const bool mayRoute = context.fresh || o.preserve == 0;

    int32_t channel = 0, port = 0;
    const bool routed = r.get(channel) && r.get(port);
    if (routed && mayRoute) {
        o.channel = channel;
        o.port = port;
    }

    if (format <= 2) {
        int32_t uacc = 0;
        if (format == 2) {
            r.get(uacc);
            r.get(o.ghost);
        }
        readFirstKeyswitches(r, a);
        if (uacc != 0)
            for (int i = 0; i < kOldFormatArticulations; ++i) {
                a.modc[i] = kUaccCc;
                a.modw[i] = a.note[i];
                a.note[i] = kNone;
            }
        return;
    }

    r.get(o.ghost);
    if (format >= 4) r.get(o.midixtend);
    if (format >= 7) {
        r.get(o.cctimerfix);
        o.cctimerfix = lowBit(o.cctimerfix);
    }
    int32_t preserve = 0;
    if (format >= 5 && r.get(preserve) && mayRoute) o.preserve = preserve;
    if (format >= 4) {
        o.ghost = lowBit(o.ghost);
        o.midixtend = lowBit(o.midixtend);
    }

    readBankColumn(r, a.note);
    readBankColumn(r, a.prog);
    readBankColumn(r, a.modw);
    if (format >= 6) readBankColumn(r, a.modc);
    readBankColumn(r, a.icon);
    readStrings(r, a.name, kOldFormatArticulations);

    if (format >= 6) {
        uint16_t p = 0;
        if (r.get(p)) readStrings(r, records.pageNames, p);
    }
    uint16_t m = 0;
    r.get(m);
    readColumn(r, c.value, m);
    if (format >= 6) {
        readColumn(r, c.cc, m);
        readColumn(r, c.type, m);
        readColumn(r, c.defaultValue, m);
        readColumn(r, c.on, m);
        readStrings(r, c.name, m);
        r.get(records.controllerstart);
    }
    int32_t page = 0;
    if (r.get(page) && (format <= 4 || context.fresh || o.preserve != 1)) o.page = page;
    r.get(o.editing);

    if (format <= 5) {
        convertUaccPrograms(a);
        return;
    }
    // CC 0 was how these formats said "no controller".
    for (int i = 0; i < std::min<int>(m, kControllerCount); ++i)
        if (c.cc[i] == 0) c.cc[i] = kUnassignedCc;
    if (format == 6) o.cctimerfix = 0;
    o.cc64release = 1;
    o.allchannelomni = 1;
}

// ---- The foreign layout --------------------------------------------------------------------

void readForeignLayout(Reader& r, uint32_t format, InstanceRecords& records, LoadContext& context,
                       LoadResult& result) {
    InstanceOptions& o = records.options;
    Controllers& c = records.controllers;
    const bool later = format >= 4;  // later versions carry a few more fields

    int32_t channel = 0;
    const bool haveChannel = r.get(channel);
    r.skip(4 * 4);
    int32_t port = 0;
    const bool havePort = r.get(port);
    uint8_t ghostOff = 1;
    if (later) {
        r.get(ghostOff);
        r.skip(1);
    }
    int32_t patch = 0;
    r.get(patch);

    // Channel 0 meant "the next free one": instances loaded in a row spread over channels.
    if (haveChannel) o.channel = channel != 0 ? channel : context.foreignChannelCounter++;
    if (havePort) o.port = port;
    o.paramknob = 1;
    o.ghost = ghostOff == 0 ? 1 : 0;

    for (int i = 0; i < kControllerCount; ++i) {
        c.type[i] = kKnob;
        c.cc[i] = kUnassignedCc;
        c.on[i] = 0;
    }
    c.name[0] = "General MIDI patch";
    c.cc[0] = kProgramChangeCc;
    c.value[0] = patch;

    std::array<int32_t, kForeignKnobs> knobs{};
    readColumn(r, knobs, kForeignKnobs);

    int8_t index = -1;
    for (int count = 0; count < kForeignRecordLimit && r.get(index) && index >= 0; ++count) {
        uint16_t cc = 0;
        int32_t disabled = 0;
        std::string name, unused;
        r.get(cc);
        r.skip(2);
        r.get(disabled);
        r.skip(later ? 12 : 8);
        r.shortStr(name);
        r.shortStr(unused);
        if (r.ended()) break;
        // Only the knobs there are; a record for any other is read past.
        if (index >= kForeignKnobs) continue;
        const int target = index + 1;
        c.name[target] = std::move(name);
        c.value[target] = knobs[index];
        c.cc[target] = cc;
        if (disabled == 0) c.on[target] = 1;
    }
    for (int i = 0; i < kForeignTrailingStrings && !r.ended(); ++i) {
        std::string dropped;
        r.shortStr(dropped);
    }
    result.announceParameters = true;
    result.articulationIndex = kNamedArticulationIndex;
}

}  // namespace

void SaveState(const InstanceRecords& records, int32_t singleEditor, ByteSink& sink) {
    const Articulations& a = records.articulations;
    const Controllers& c = records.controllers;
    const InstanceOptions& o = records.options;
    Writer w;
    w.i32(kStateFormat);

    const int n = storedArticulationCount(a);
    w.u16(static_cast<uint32_t>(n));
    w.column(a.note, n);
    w.column(a.notevel, n);
    w.column(a.prog, n);
    w.column(a.modw, n);
    w.column(a.modc, n);
    w.column(a.icon, n);
    w.strings(a.name, n);
    for (int i = 0; i < n; ++i) {
        w.str(a.keynamespath[i]);
        w.keyNames(a.keynames[i].get());
    }

    w.u16(kControllerPageCount);
    w.strings(records.pageNames, kControllerPageCount);
    w.u16(kControllerCount);
    w.column(c.value, kControllerCount);
    w.column(c.cc, kControllerCount);
    w.column(c.type, kControllerCount);
    w.column(c.defaultValue, kControllerCount);
    w.column(c.on, kControllerCount);
    w.column(c.lock, kControllerCount);
    w.strings(c.name, kControllerCount);
    w.i32(records.controllerstart);

    w.u16(24);
    w.keyed("port", o.port);
    w.keyed("channel", o.channel);
    w.keyed("preserve", o.preserve);
    w.keyed("page", o.page);
    w.keyed("paramknob", o.paramknob);
    w.keyed("minimised", o.minimised ? 1 : 0);
    w.keyed("oldparams", o.oldparams);
    w.keyed("optimiseautomation", o.optimiseautomation);
    w.keyed("releasecc17", o.releasecc17);
    w.keyed("changeanyrule", o.changeanyrule);
    w.keyed("singleeditor", singleEditor);
    w.keyed("overlapping", o.overlapping);
    w.keyed("altmiddlec", o.altmiddlec);
    w.keyed("ghost", o.ghost);
    w.keyed("ghosttransport", o.ghosttransport);
    w.keyed("holdkeyswitch", o.holdkeyswitch);
    w.keyed("cctimerfix", o.cctimerfix);
    w.keyed("cc64release", o.cc64release);
    w.keyed("allchannelomni", o.allchannelomni);
    w.keyed("ccuacc", o.ccuacc);
    w.keyed("editing", o.editing);
    w.keyed("articbanks", o.articbanks ? 1 : 0);
    w.keyed("startart", o.startart);
    w.keyed("midixtend", o.midixtend);

    sink.write(w.bytes().data(), w.bytes().size());
}

LoadResult LoadState(InstanceRecords& records, ByteSource& source, LoadContext& context) {
    LoadResult result;
    result.scale = context.scale;
    Reader r(source);
    int32_t format = 0;
    if (!r.get(format)) return result;
    result.format = format;

    if (context.foreignModule && static_cast<uint32_t>(format) < 9) {
        readForeignLayout(r, static_cast<uint32_t>(format), records, context, result);
    } else if (format >= 1 && format <= 7) {
        readOldFormat(r, format, records, context);
    } else if (format >= 8 && format <= kStateFormat) {
        readModernFormat(r, format, records, context, result);
    }
    return result;
}

}  // namespace model
