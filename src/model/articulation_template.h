// The template file that pairs articulation names with icon numbers (`IconNameTable`).
#pragma once

#include <string>

#include "model/icon_name_table.h"

namespace model {

// Where the template sits under the program folder.
inline constexpr char kTemplateFile[] = "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\articulations.kryltemplate";

// Empties the table, then fills it from the "articulationicons" object of a zero-terminated
// JSON text, in file order. Anything malformed leaves the table empty; a member whose value is
// not an integer within 32 bits is skipped and the others are kept. [ui]
void parseTemplate(const char* text, IconNameTable& table);

// The same from a file; a missing file leaves the table empty. [ui]
void loadTemplateFile(const std::string& path, IconNameTable& table);

}  // namespace model
