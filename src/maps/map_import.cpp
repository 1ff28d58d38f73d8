#include "maps/map_import.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "model/articulation_file.h"
#include "model/defaults.h"
#include "platform/files.h"

namespace maps {

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

namespace {

// Larger than any map file seen by far; keeps a wrong file from costing the host its memory.
constexpr uint64_t kMaxMapFileSize = 32u << 20;

bool inMidiRange(int v) { return v >= 0 && v <= 127; }

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += ", ";
        out += p;
    }
    return out;
}

std::string bankPath(const std::string& group, const std::string& name) {
    return group.empty() ? name : group + "/" + name;
}

// Which format a text is: a text that does not start with a tag is a REAPER bank file; an XML
// one is told by its root element's name, after any declaration, DOCTYPE or comment.
MapFormat sniffFormat(std::string_view text) {
    size_t at = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (at == std::string_view::npos || text[at] != '<') return MapFormat::kReaBank;
    while (at != std::string_view::npos && at + 1 < text.size() && (text[at + 1] == '?' || text[at + 1] == '!'))
        at = text.find('<', at + 1);
    if (at == std::string_view::npos) return MapFormat::kUnknown;
    const std::string_view root = text.substr(at + 1);
    if (root.rfind("InstrumentMap", 0) == 0) return MapFormat::kExpressionMap;
    if (root.rfind("plist", 0) == 0) return MapFormat::kLogicPlist;
    if (root.rfind("kScoreLibrary", 0) == 0) return MapFormat::kDoricoLib;
    return MapFormat::kUnknown;
}

}  // namespace

MapFormat formatOfPath(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) return MapFormat::kUnknown;
    const std::string ext = lowerAscii(path.substr(dot + 1));
    if (ext == "reabank") return MapFormat::kReaBank;
    if (ext == "expressionmap") return MapFormat::kExpressionMap;
    if (ext == "plist") return MapFormat::kLogicPlist;
    if (ext == "doricolib") return MapFormat::kDoricoLib;
    return MapFormat::kUnknown;
}

std::string fileStem(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

Slot slotOf(const MapArticulation& articulation, std::vector<std::string>& lost) {
    Slot slot;
    slot.name = articulation.name;
    slot.icon = articulation.icon;
    lost.insert(lost.end(), articulation.lost.begin(), articulation.lost.end());
    int notes = 0, secondKey = -1, ccNumber = -1, ccValue = 0;
    bool haveProgram = false;
    char text[96];
    for (const MapOutput& o : articulation.outputs) {
        if (o.kind == OutputKind::kOther) {
            lost.push_back(o.lost);
            continue;
        }
        const char* what = o.kind == OutputKind::kNote ? "note" : o.kind == OutputKind::kProgram ? "program" : "controller";
        if (!inMidiRange(o.number) || (o.value != -1 && !inMidiRange(o.value))) {
            std::snprintf(text, sizeof text, "%s %d,%d out of range", what, o.number, o.value);
            lost.push_back(text);
            continue;
        }
        if (!o.lost.empty()) lost.push_back(o.lost);
        switch (o.kind) {
        case OutputKind::kNote:
            if (notes == 0) {
                slot.note = o.number;
                slot.notevel = o.value > 0 ? o.value : 127;
            } else if (notes == 1) {
                secondKey = o.number;
                if (o.value > 0 && o.value != 127) {
                    std::snprintf(text, sizeof text, "second note's velocity %d", o.value);
                    lost.push_back(text);
                }
            } else {
                std::snprintf(text, sizeof text, "note %d", o.number);
                lost.push_back(text);
            }
            if (o.held && notes < 2) lost.push_back("held note");
            ++notes;
            break;
        case OutputKind::kProgram:
            if (!haveProgram) {
                slot.prog = o.number;
                haveProgram = true;
            } else {
                std::snprintf(text, sizeof text, "program %d", o.number);
                lost.push_back(text);
            }
            break;
        default:
            if (ccNumber < 0) {
                ccNumber = o.number;
                ccValue = o.value < 0 ? 0 : o.value;
            } else {
                std::snprintf(text, sizeof text, "controller %d,%d", o.number, o.value);
                lost.push_back(text);
            }
        }
    }
    if (secondKey >= 0) {
        slot.modc = model::kModSecondKeyswitch;
        slot.modw = secondKey;
        if (ccNumber >= 0) {
            std::snprintf(text, sizeof text, "controller %d,%d", ccNumber, ccValue);
            lost.push_back(text);
        }
    } else if (ccNumber >= 0) {
        slot.modc = ccNumber;
        slot.modw = ccValue;
    }
    return slot;
}

Import convertReading(const MapReading& reading, const model::IconNameTable& icons) {
    Import out;
    out.report = reading.notes;
    for (const MapBank& source : reading.banks) {
        const std::string path = bankPath(source.group, source.name);
        std::vector<std::string> bankLines;
        for (const std::string& note : source.notes) bankLines.push_back(path + ": " + note);
        std::vector<Slot> slots;
        std::vector<std::string> slotLines;  // one per slot, empty when nothing was lost
        for (const MapArticulation& a : source.articulations) {
            std::vector<std::string> lost;
            Slot slot = slotOf(a, lost);
            slot.icon = model::iconForRenamedArticulation(icons, slot.name, slot.icon);
            slotLines.push_back(lost.empty() ? std::string() : path + ": " + slot.name + ": left out " + joined(lost));
            slots.push_back(std::move(slot));
        }
        const size_t parts = slots.empty() ? 1 : (slots.size() + model::kArticulationCount - 1) / model::kArticulationCount;
        if (parts > 1) {
            bankLines.push_back(path + ": " + std::to_string(slots.size()) + " articulations, split into " +
                                std::to_string(parts) + " banks of up to 64");
        }
        for (size_t part = 0; part < parts; ++part) {
            Bank bank;
            bank.group = source.group;
            bank.name = parts > 1 ? source.name + " " + std::to_string(part + 1) : source.name;
            const size_t from = part * model::kArticulationCount;
            const size_t to = std::min(slots.size(), from + model::kArticulationCount);
            bank.slots.assign(std::make_move_iterator(slots.begin() + static_cast<long>(from)),
                              std::make_move_iterator(slots.begin() + static_cast<long>(to)));
            bank.leftOut = bankLines;
            for (size_t i = from; i < to; ++i)
                if (!slotLines[i].empty()) bank.leftOut.push_back(slotLines[i]);
            out.report.insert(out.report.end(), bank.leftOut.begin() + (part == 0 ? 0 : static_cast<long>(bankLines.size())),
                              bank.leftOut.end());
            out.banks.push_back(std::move(bank));
        }
    }
    return out;
}

Import importMapText(std::string_view text, MapFormat format, const std::string& stem,
                     const model::IconNameTable& icons) {
    Import out;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        out.error = "empty file, not a map";
        return out;
    }
    if (text.find('\0') != std::string_view::npos) {
        out.error = "binary data, not a map";
        return out;
    }
    if (format == MapFormat::kUnknown) format = sniffFormat(text);
    MapReading reading;
    switch (format) {
    case MapFormat::kReaBank: reading = readReaBank(text); break;
    case MapFormat::kExpressionMap: reading = readExpressionMap(text); break;
    case MapFormat::kLogicPlist: reading = readLogicPlist(text); break;
    case MapFormat::kDoricoLib: reading = readDoricoLib(text); break;
    default: reading.error = "not a map of a kind known here";
    }
    if (reading.error.empty() && reading.banks.empty()) reading.error = "no bank in it, not a map";
    if (!reading.error.empty()) {
        out.error = reading.error;
        return out;
    }
    for (MapBank& bank : reading.banks)
        if (bank.name.empty()) bank.name = stem;
    return convertReading(reading, icons);
}

Import importMapFile(const std::string& path, const model::IconNameTable& icons) {
    Import out;
    platform::FileStamp stamp;
    if (platform::regularFileStamp(path, stamp) && stamp.size > kMaxMapFileSize) {
        out.error = "too large for a map (" + std::to_string(stamp.size >> 20) + " MB)";
        return out;
    }
    std::string text;
    if (!model::readWholeFile(path, text)) {
        out.error = "cannot be read";
        return out;
    }
    return importMapText(text, formatOfPath(path), fileStem(path), icons);
}

Export exportBank(const Bank& bank, MapFormat format) {
    switch (format) {
    case MapFormat::kReaBank: return writeReaBank(bank);
    case MapFormat::kExpressionMap: return writeExpressionMap(bank);
    case MapFormat::kLogicPlist: return writeLogicPlist(bank);
    case MapFormat::kDoricoLib: return writeDoricoLib(bank);
    default: return {};
    }
}

std::vector<MapOutput> outputsOf(const Slot& slot, const std::string& where, std::vector<std::string>& report) {
    std::vector<MapOutput> out;
    std::vector<std::string> lost;
    char text[64];
    const auto add = [&](OutputKind kind, int number, int value) {
        MapOutput o;
        o.kind = kind;
        o.number = number;
        o.value = value;
        out.push_back(o);
    };
    if (inMidiRange(slot.note)) {
        add(OutputKind::kNote, slot.note, slot.notevel);
        if (!inMidiRange(slot.notevel) || slot.notevel == 0) {
            std::snprintf(text, sizeof text, "velocity %d", slot.notevel);
            lost.push_back(text);
        }
    }
    if (inMidiRange(slot.prog)) add(OutputKind::kProgram, slot.prog, -1);
    else if (slot.prog != model::kNone) lost.push_back("program " + std::to_string(slot.prog));
    if (slot.modc == model::kModSecondKeyswitch && inMidiRange(slot.modw) && inMidiRange(slot.note)) {
        add(OutputKind::kNote, slot.modw, 127);
    } else if (inMidiRange(slot.modc) && inMidiRange(slot.modw)) {
        add(OutputKind::kController, slot.modc, slot.modw);
    } else if (slot.modc == model::kModPlayVelocity) {
        lost.push_back("play velocity " + std::to_string(slot.modw));
    } else if (slot.modc == model::kModSecondKeyswitch && !inMidiRange(slot.note)) {
        lost.push_back("second keyswitch without a first");
    } else if (slot.modc != model::kModCcUnset) {
        std::snprintf(text, sizeof text, "second value %d,%d", slot.modc, slot.modw);
        lost.push_back(text);
    }
    if (!lost.empty()) report.push_back(where + ": " + slot.name + ": left out " + joined(lost));
    return out;
}

Bank bankOf(const model::Articulations& a, int count, std::string name) {
    Bank bank;
    bank.name = std::move(name);
    for (int i = 0; i < count && i < model::kArticulationCount; ++i) bank.slots.push_back(model::fieldsOf(a, i));
    return bank;
}

int placeBank(const Bank& bank, model::Articulations& a, int startSlot) {
    int placed = 0;
    for (const Slot& s : bank.slots) {
        const int i = startSlot + placed;
        if (i < 0 || i >= model::kArticulationCount) break;
        model::resetArticulation(a, i);
        model::storeFields(a, i, s);
        ++placed;
    }
    return placed;
}

void storeBank(const Bank& bank, model::Articulations& a) {
    for (int i = 0; i < model::kArticulationCount; ++i) model::resetArticulation(a, i);
    placeBank(bank, a, 0);
}

std::vector<platform::MenuEntry> bankMenu(const std::vector<Bank>& banks) {
    std::vector<platform::MenuEntry> menu;
    std::unordered_map<std::string, size_t> groups;  // a group's submenu in `menu`
    for (size_t i = 0; i < banks.size(); ++i) {
        platform::MenuEntry entry;
        entry.id = static_cast<int>(i + 1);
        entry.text = banks[i].name.empty() ? "(unnamed)" : banks[i].name;
        if (banks[i].group.empty()) {
            menu.push_back(std::move(entry));
            continue;
        }
        const auto [group, added] = groups.emplace(banks[i].group, menu.size());
        if (added) {
            platform::MenuEntry submenu;
            submenu.text = banks[i].group;
            menu.push_back(std::move(submenu));
        }
        menu[group->second].submenu.push_back(std::move(entry));
    }
    return menu;
}

std::string leftOutMessage(const Bank& bank, size_t lines) {
    std::string out = "Loaded \"" + bank.name + "\"; left out of it:";
    for (size_t i = 0; i < bank.leftOut.size() && i < lines; ++i) out += "\n" + bank.leftOut[i];
    if (bank.leftOut.size() > lines) out += "\nand " + std::to_string(bank.leftOut.size() - lines) + " more";
    return out;
}

}  // namespace maps
