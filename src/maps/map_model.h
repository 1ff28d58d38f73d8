// Articulation maps of other music software, read into one shape before they become banks: a
// bank is a list of articulations, each a name and the events it sends in the file's order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/icon_name_table.h"
#include "model/records.h"

namespace maps {

enum class MapFormat { kUnknown, kReaBank, kExpressionMap, kLogicPlist, kDoricoLib };

enum class OutputKind { kNote, kProgram, kController, kOther };

struct MapOutput {
    OutputKind kind = OutputKind::kOther;
    int number = -1;  // key, program or controller number
    int value = -1;   // velocity or controller value; -1 when the file gives none
    bool held = false;  // a keyswitch held while the articulation is active
    // For kOther what the event was; for the others a part of it that has no place here
    // (routing, a filter), reported while the event itself is kept.
    std::string lost;
};

struct MapArticulation {
    std::string name;
    int32_t icon = model::kNoIcon;  // from the format's own icon name, where it has one we know
    std::vector<MapOutput> outputs;
    std::vector<std::string> lost;  // what the articulation itself carried beyond its events
};

struct MapBank {
    std::string group;  // "Vendor/Product", or empty
    std::string name;
    std::vector<MapArticulation> articulations;  // shown ones, in order
    std::vector<std::string> notes;              // said once for the bank
};

struct MapReading {
    std::vector<MapBank> banks;
    std::vector<std::string> notes;  // about the file as a whole
    std::string error;               // set when the file is not a map of its kind
};

// One slot of a bank as the instance stores it.
using Slot = model::ArticulationCore;

struct Bank {
    std::string group;
    std::string name;
    std::vector<Slot> slots;  // at most 64
    std::vector<std::string> leftOut;  // this bank's lines of the report
};

struct Import {
    std::vector<Bank> banks;
    std::vector<std::string> report;  // one line per articulation or bank that lost something
    std::string error;                // the file is not a map: nothing to load
};

// The readers: the file's text (any bytes) into banks. [any]
MapReading readReaBank(std::string_view text);
MapReading readExpressionMap(std::string_view text);
MapReading readLogicPlist(std::string_view text);
MapReading readDoricoLib(std::string_view text);

// The writers: a bank's slots in the format, with a line for each thing it cannot hold. [any]
struct Export {
    std::string text;
    std::vector<std::string> report;
};
Export writeReaBank(const Bank& bank);
Export writeExpressionMap(const Bank& bank);
Export writeLogicPlist(const Bank& bank);
Export writeDoricoLib(const Bank& bank);

// REAPER's icon names against the catalogue's numbers; kNoIcon for a name it does not know.
int32_t iconForReaperName(std::string_view name);
// The first REAPER name for a catalogue icon, or empty.
std::string_view reaperNameForIcon(int32_t icon);

}  // namespace maps
