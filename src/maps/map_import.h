// Map files in and out: the one mapping from any format's events to the instance's fields, banks
// split at 64, and the formats told apart by their file names.
#pragma once

#include <string>
#include <string_view>

#include "maps/map_model.h"
#include "platform/menu.h"

namespace maps {

// Text with A-Z lowered, byte by byte.
std::string lowerAscii(std::string_view text);

// The format of a file name's extension (case-insensitive), else kUnknown.
MapFormat formatOfPath(std::string_view path);
// The file name without folder and extension: a bank's name where the file gives none.
std::string fileStem(std::string_view path);

// The mapping of one articulation: its events into a slot, with what did not fit. `lost` gets
// the names of what was left out, in the event order.
Slot slotOf(const MapArticulation& articulation, std::vector<std::string>& lost);

// A reading into banks: names and icons filled in (the template by name after the format's own
// icon), banks longer than 64 split into consecutive banks of 64, and the report.
Import convertReading(const MapReading& reading, const model::IconNameTable& icons);

// A file's text read in `format` (kUnknown: told apart by its first tag) and converted. A file
// that gives no bank is an error; `stem` names banks the file leaves unnamed. [any]
Import importMapText(std::string_view text, MapFormat format, const std::string& stem,
                     const model::IconNameTable& icons);
// The same from a file. [ui]
Import importMapFile(const std::string& path, const model::IconNameTable& icons);

// One bank in `format`. [any]
Export exportBank(const Bank& bank, MapFormat format);

// The slot's fields as the events a writer sends, in the mapping's order (note, program, then a
// second note or controller), with what no format holds reported under `where`.
std::vector<MapOutput> outputsOf(const Slot& slot, const std::string& where, std::vector<std::string>& report);

// The slots of a bank as the instance holds them (model::Articulations, 0 .. count-1).
Bank bankOf(const model::Articulations& articulations, int count, std::string name);
// A bank's slots into an instance's articulations from `startSlot`; those past 64 are dropped.
// Returns how many were placed.
int placeBank(const Bank& bank, model::Articulations& articulations, int startSlot);
// The bank from slot 0 and every slot after it reset: nothing of an older bank stays.
void storeBank(const Bank& bank, model::Articulations& articulations);

// The banks of a file as a popup menu, ids 1.. in file order: banks of one group in a submenu
// named after it, in the order groups first appear; banks without a group at the top.
std::vector<platform::MenuEntry> bankMenu(const std::vector<Bank>& banks);
// What a loaded bank left out, for one message box: the first `lines` lines, then "and N more".
std::string leftOutMessage(const Bank& bank, size_t lines);

}  // namespace maps
