// Names paired with icon numbers, read from the template file: picking one of the two fills in
// the other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace model {

// Two parallel lists in template-file order. Process-wide; emptied and refilled each time the
// template is read. [ui]
struct IconNameTable {
    std::vector<std::string> names;
    std::vector<int32_t> icons;

    void clear();
    void add(std::string name, int32_t icon);
};

// The icon after renaming an articulation to `newName`. Only an articulation without an icon
// (55) takes one from the table: every case-insensitive match assigns, so the last one wins. [ui]
int32_t iconForRenamedArticulation(const IconNameTable& table, const std::string& newName,
                                   int32_t currentIcon);

// The name after picking `pickedIcon`. Only an unnamed articulation takes a name: the first
// table entry with that icon. Picking "no icon" (55) never names it. [ui]
std::string nameForPickedIcon(const IconNameTable& table, const std::string& currentName,
                              int32_t pickedIcon);

}  // namespace model
