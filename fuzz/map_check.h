// What both map fuzz targets check beyond not crashing: every bank a file gives holds at most 64
// articulations and comes back the same through every format.
#pragma once

#include <string_view>
#include <tuple>

#include "maps/map_import.h"

namespace fuzz_maps {

inline void checkImport(std::string_view text, maps::MapFormat format) {
    static const model::IconNameTable noIcons;
    const maps::Import read = maps::importMapText(text, format, "stem", noIcons);
    if (!read.error.empty() && !read.banks.empty()) __builtin_trap();
    for (const maps::Bank& bank : read.banks) {
        if (bank.slots.size() > static_cast<size_t>(model::kArticulationCount)) __builtin_trap();
        for (const maps::MapFormat to : {maps::MapFormat::kReaBank, maps::MapFormat::kExpressionMap,
                                         maps::MapFormat::kLogicPlist, maps::MapFormat::kDoricoLib}) {
            const maps::Import back = maps::importMapText(maps::exportBank(bank, to).text, to, "stem", noIcons);
            if (back.banks.size() != 1 || back.banks[0].slots.size() != bank.slots.size()) __builtin_trap();
            for (size_t i = 0; i < bank.slots.size(); ++i) {
                const maps::Slot& a = bank.slots[i];
                const maps::Slot& b = back.banks[0].slots[i];
                // Text formats trim names and keep them on one line or in XML: compare the switches.
                if (std::tie(a.note, a.prog, a.modw, a.modc) != std::tie(b.note, b.prog, b.modw, b.modc)) __builtin_trap();
                if (a.note >= 0 && a.notevel != b.notevel) __builtin_trap();
            }
        }
    }
}

}  // namespace fuzz_maps
