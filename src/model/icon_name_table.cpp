#include "model/icon_name_table.h"

#include <algorithm>
#include <utility>

#include "model/records.h"

namespace model {

namespace {

// ASCII folding only: byte by byte, so bytes of a multi-byte UTF-8 character never match letters.
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(const std::string& x, const std::string& y) {
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
        if (lowerAscii(x[i]) != lowerAscii(y[i])) return false;
    }
    return true;
}

// The lists are filled together, but a short one must never be read past its end.
size_t entryCount(const IconNameTable& table) { return std::min(table.names.size(), table.icons.size()); }

}  // namespace

void IconNameTable::clear() {
    names.clear();
    icons.clear();
}

void IconNameTable::add(std::string name, int32_t icon) {
    names.push_back(std::move(name));
    icons.push_back(icon);
}

int32_t iconForRenamedArticulation(const IconNameTable& table, const std::string& newName,
                                   int32_t currentIcon) {
    if (currentIcon != kNoIcon) return currentIcon;
    int32_t icon = currentIcon;
    const size_t count = entryCount(table);
    for (size_t i = 0; i < count; ++i) {
        if (equalsIgnoringCase(table.names[i], newName)) icon = table.icons[i];
    }
    return icon;
}

std::string nameForPickedIcon(const IconNameTable& table, const std::string& currentName,
                              int32_t pickedIcon) {
    if (!currentName.empty() || pickedIcon == kNoIcon) return currentName;
    const size_t count = entryCount(table);
    for (size_t i = 0; i < count; ++i) {
        if (table.icons[i] == pickedIcon) return table.names[i];
    }
    return currentName;
}

}  // namespace model
