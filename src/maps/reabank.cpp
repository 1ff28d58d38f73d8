// REAPER bank files with articulation attributes: a line-based text of Bank lines, program lines
// and `//!` attribute lines that describe the line after them.
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "maps/map_import.h"
#include "maps/map_model.h"

namespace maps {

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// Far beyond any real bank file (the largest known holds 218 banks), and low enough that a huge
// file of empty lines cannot make the reading take the host's memory.
constexpr size_t kMaxBanks = 20000;
constexpr size_t kMaxArticulations = 100000;
constexpr size_t kMaxAttributes = 64;  // gathered for one line

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The leading word of `s`, which is advanced past it and the blanks after.
std::string_view takeWord(std::string_view& s) {
    size_t end = 0;
    while (end < s.size() && !isBlank(s[end])) ++end;
    const std::string_view word = s.substr(0, end);
    s.remove_prefix(end);
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return word;
}

// A whole decimal number within 0..limit, else -1.
int number(std::string_view s, int limit) {
    if (s.empty() || s.size() > 6) return -1;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v <= limit ? v : -1;
}

// A signed integer argument of an output; false when it is not one.
bool argument(std::string_view s, int& out) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const int v = number(s, 999999);
    if (v < 0) return false;
    out = negative ? -v : v;
    return true;
}

void gatherAttributes(std::string_view s, Attributes& into) {
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        const size_t keyStart = i;
        while (i < s.size() && !isBlank(s[i]) && s[i] != '=') ++i;
        const std::string key(s.substr(keyStart, i - keyStart));
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            if (i < s.size() && s[i] == '"') {
                ++i;
                while (i < s.size() && s[i] != '"') {
                    if (s.compare(i, 2, "\\n") == 0) {
                        value += '\n';
                        i += 2;
                    } else if (s.compare(i, 6, "&quot;") == 0) {
                        value += '"';
                        i += 6;
                    } else {
                        value += s[i++];
                    }
                }
                if (i < s.size()) ++i;
            } else {
                const size_t start = i;
                while (i < s.size() && !isBlank(s[i])) ++i;
                value.assign(s.substr(start, i - start));
            }
        }
        // The format knows a score of keys: more are noise, and would cost time to look through.
        if (key.empty() || into.size() >= kMaxAttributes) continue;
        bool seen = false;
        for (const auto& kv : into) seen = seen || kv.first == key;
        if (!seen) into.emplace_back(key, std::move(value));
    }
}

const std::string* find(const Attributes& attributes, const char* key) {
    for (const auto& kv : attributes)
        if (kv.first == key) return &kv.second;
    return nullptr;
}

bool hasFlag(const std::string& flags, std::string_view flag) {
    size_t i = 0;
    while (i <= flags.size()) {
        size_t end = flags.find(',', i);
        if (end == std::string::npos) end = flags.size();
        if (std::string_view(flags).substr(i, end - i) == flag) return true;
        i = end + 1;
    }
    return false;
}

MapOutput parseOutput(std::string_view event) {
    MapOutput o;
    const std::string whole(event);
    if (!event.empty() && event.front() == '-') event.remove_prefix(1);  // sends without routing: nothing to route here
    std::string filter, channel;
    if (const size_t at = event.find('%'); at != std::string_view::npos) {
        filter = std::string(event.substr(at + 1));
        event = event.substr(0, at);
    }
    std::string_view args;
    if (const size_t at = event.find(':'); at != std::string_view::npos) {
        args = event.substr(at + 1);
        event = event.substr(0, at);
    }
    // The channel sits after the type; some files put it after the arguments.
    for (std::string_view* part : {&event, &args}) {
        if (const size_t at = part->find('@'); at != std::string_view::npos) {
            if (channel.empty()) channel = std::string(part->substr(at + 1));
            *part = part->substr(0, at);
        }
    }
    const std::string_view type = event;
    if (type.empty()) {
        o.lost = "routing to channel " + channel;
        return o;
    }
    int a1 = -1, a2 = -1;
    const size_t comma = args.find(',');
    const std::string_view first = args.substr(0, comma);
    const std::string_view second = comma == std::string_view::npos ? std::string_view() : args.substr(comma + 1);
    if ((!first.empty() && !argument(first, a1)) || (!second.empty() && !argument(second, a2))) {
        o.lost = "output " + whole;
        return o;
    }
    if (type == "note" || type == "note-hold") {
        o.kind = OutputKind::kNote;
        o.held = type == "note-hold";
        o.number = a1;
        o.value = a2;
    } else if (type == "cc") {
        o.kind = OutputKind::kController;
        o.number = a1;
        o.value = a2;
    } else if (type == "program") {
        o.kind = OutputKind::kProgram;
        o.number = a1;
    } else if (type == "pitch") {
        o.lost = "pitch bend " + std::to_string(a1);
        return o;
    } else if (type == "art") {
        o.lost = "reference to articulation " + std::to_string(a1);
        return o;
    } else {
        o.lost = "output " + whole;
        return o;
    }
    std::string lost;
    if (const size_t dot = channel.find('.'); dot != std::string::npos) channel.replace(dot, 1, " bus ");
    if (!channel.empty() && channel != "-") lost = "routing to channel " + channel;
    if (!filter.empty()) lost += (lost.empty() ? "filter %" : ", filter %") + filter;
    o.lost = lost;
    return o;
}

struct RawBank {
    MapBank bank;
    std::string lineName, id, clone;
    int hidden = 0;
};

// Clones take the articulations at the end of their chain of clones. Each bank's target is
// looked up once and each chain walked once, so a file of many clones costs no more than its
// length; a cycle or a missing bank leaves the clones that lead to it as they were, with a note.
void resolveClones(std::vector<RawBank>& banks, size_t& articulationsLeft) {
    constexpr size_t kMissing = SIZE_MAX;
    std::unordered_map<std::string, size_t> byReference;  // the first bank of a name wins
    for (size_t i = 0; i < banks.size(); ++i) {
        const MapBank& b = banks[i].bank;
        if (!banks[i].id.empty()) byReference.emplace(banks[i].id, i);
        byReference.emplace(b.group + "/" + b.name, i);
        byReference.emplace(b.group + "/" + banks[i].lineName, i);
    }
    std::vector<size_t> target(banks.size(), kMissing), source(banks.size(), kMissing);
    enum State : uint8_t { kUnseen, kWalking, kDone };
    std::vector<uint8_t> state(banks.size(), kUnseen);
    for (size_t i = 0; i < banks.size(); ++i) {
        if (banks[i].clone.empty()) {
            source[i] = i;
            state[i] = kDone;
        } else if (const auto it = byReference.find(banks[i].clone); it != byReference.end()) {
            target[i] = it->second;
        }
    }
    std::vector<size_t> path;
    for (size_t i = 0; i < banks.size(); ++i) {
        path.clear();
        size_t at = i;
        while (at != kMissing && state[at] == kUnseen) {
            state[at] = kWalking;
            path.push_back(at);
            at = target[at];
        }
        const bool cycle = at != kMissing && state[at] == kWalking;
        const size_t end = at == kMissing || cycle ? kMissing : source[at];
        for (const size_t p : path) {
            state[p] = kDone;
            source[p] = end;
            if (end == kMissing) {
                const char* why = cycle                  ? " in a cycle, not followed"
                                  : target[p] == kMissing ? ", which is not in the file"
                                                          : ", which leads to a bank that is not in the file";
                banks[p].bank.notes.push_back("clones " + banks[p].clone + why);
            }
        }
    }
    for (size_t i = 0; i < banks.size(); ++i) {
        if (source[i] == kMissing || source[i] == i) continue;
        const RawBank& from = banks[source[i]];
        if (from.bank.articulations.size() > articulationsLeft) {
            banks[i].bank.notes.push_back("clones " + banks[i].clone + ", left empty: the file holds too many articulations");
            continue;
        }
        articulationsLeft -= from.bank.articulations.size();
        banks[i].bank.articulations = from.bank.articulations;
        banks[i].hidden = from.hidden;
    }
}

}  // namespace

MapReading readReaBank(std::string_view text) {
    MapReading out;
    std::vector<RawBank> banks;
    Attributes pending;
    long current = -1;
    int badBankLines = 0, orphanPrograms = 0, lineNumber = 0, firstBadLine = 0, overflow = 0;
    size_t articulationsLeft = kMaxArticulations;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trim(text.substr(at, end - at));
        at = end + 1;
        ++lineNumber;
        if (line.empty()) continue;
        if (line.rfind("//!", 0) == 0) {
            gatherAttributes(line.substr(3), pending);
            continue;
        }
        if (line.rfind("//", 0) == 0) continue;
        std::string_view rest = line;
        const std::string_view word = takeWord(rest);
        if (word == "Bank") {
            const std::string_view msb = takeWord(rest), lsb = takeWord(rest);
            // The numbers only matter to REAPER; what makes a Bank line bad is their absence.
            if ((msb != "*" && number(msb, 99999) < 0) || (lsb != "*" && number(lsb, 99999) < 0)) {
                current = -1;
                if (badBankLines++ == 0) firstBadLine = lineNumber;
            } else if (banks.size() >= kMaxBanks) {
                current = -1;
                ++overflow;
            } else {
                RawBank raw;
                raw.lineName = std::string(rest);
                const std::string* n = find(pending, "n");
                raw.bank.name = n ? *n : raw.lineName;
                if (const std::string* g = find(pending, "g")) raw.bank.group = *g;
                if (const std::string* id = find(pending, "id")) raw.id = *id;
                if (const std::string* clone = find(pending, "clone")) raw.clone = *clone;
                banks.push_back(std::move(raw));
                current = static_cast<long>(banks.size()) - 1;
            }
            pending.clear();
            continue;
        }
        if (number(word, 127) < 0) {
            pending.clear();
            continue;
        }
        if (current < 0) {
            ++orphanPrograms;
            pending.clear();
            continue;
        }
        if (articulationsLeft == 0) {
            ++overflow;
            pending.clear();
            continue;
        }
        RawBank& raw = banks[static_cast<size_t>(current)];
        if (const std::string* flags = find(pending, "f"); flags && hasFlag(*flags, "hidden")) {
            ++raw.hidden;
            pending.clear();
            continue;
        }
        MapArticulation a;
        const std::string* n = find(pending, "n");
        a.name = n ? *n : std::string(rest);
        if (const std::string* icon = find(pending, "i")) a.icon = iconForReaperName(*icon);
        if (const std::string* outputs = find(pending, "o")) {
            std::string_view list = *outputs;
            while (!list.empty()) {
                const size_t slash = list.find('/');
                const std::string_view event = list.substr(0, slash);
                if (!event.empty()) a.outputs.push_back(parseOutput(event));
                list = slash == std::string_view::npos ? std::string_view() : list.substr(slash + 1);
            }
        }
        for (const char* key : {"transpose", "velocity", "pitchrange", "velrange"})
            if (const std::string* v = find(pending, key)) a.lost.push_back(std::string(key) + " " + *v);
        raw.bank.articulations.push_back(std::move(a));
        --articulationsLeft;
        pending.clear();
    }
    resolveClones(banks, articulationsLeft);
    for (RawBank& raw : banks) {
        if (raw.hidden > 0) raw.bank.notes.push_back(std::to_string(raw.hidden) + " hidden articulation(s) left out");
        out.banks.push_back(std::move(raw.bank));
    }
    if (badBankLines > 0 || orphanPrograms > 0) {
        char note[160];
        std::snprintf(note, sizeof note,
                      "%d Bank line(s) without two numbers (the first on line %d); %d program line(s) in no bank left out",
                      badBankLines, firstBadLine, orphanPrograms);
        if (out.banks.empty()) out.error = note;
        else out.notes.push_back(note);
    }
    if (overflow > 0)
        out.notes.push_back(std::to_string(overflow) + " line(s) past " + std::to_string(kMaxBanks) + " banks or " +
                            std::to_string(kMaxArticulations) + " articulations left out");
    return out;
}

Export writeReaBank(const Bank& bank) {
    Export out;
    const auto quoted = [](const std::string& s) {
        std::string q = "\"";
        for (const char c : s) {
            if (c == '"') q += "&quot;";
            else if (c == '\n') q += "\\n";
            else if (c != '\r') q += c;
        }
        return q + "\"";
    };
    const auto oneLine = [](std::string s) {
        for (char& c : s)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        return s;
    };
    const std::string where = bank.group.empty() ? bank.name : bank.group + "/" + bank.name;
    out.text = "// Articulations of the bank \"" + oneLine(bank.name) + "\", written by KRYL Voxtrane\n\n";
    out.text += "//! g=" + quoted(bank.group.empty() ? "KRYL Voxtrane" : bank.group) + " n=" + quoted(bank.name) + "\n";
    out.text += "Bank * * " + oneLine(bank.name) + "\n";
    for (size_t i = 0; i < bank.slots.size(); ++i) {
        const Slot& slot = bank.slots[i];
        const std::vector<MapOutput> outputs = outputsOf(slot, where, out.report);
        std::string attributes = "//! n=" + quoted(slot.name);
        if (const std::string_view icon = reaperNameForIcon(slot.icon); !icon.empty())
            attributes += " i=" + std::string(icon);
        std::string events;
        for (const MapOutput& o : outputs) {
            if (!events.empty()) events += '/';
            if (o.kind == OutputKind::kNote) events += "note:" + std::to_string(o.number) + "," + std::to_string(o.value);
            else if (o.kind == OutputKind::kProgram) events += "program:" + std::to_string(o.number);
            else events += "cc:" + std::to_string(o.number) + "," + std::to_string(o.value);
        }
        if (!events.empty()) attributes += " o=" + events;
        out.text += attributes + "\n" + std::to_string(i) + " " + oneLine(slot.name) + "\n";
    }
    return out;
}

}  // namespace maps
