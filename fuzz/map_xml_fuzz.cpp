// Arbitrary bytes as each XML map format: Cubase expression map, Logic articulation set, Dorico
// library, and told apart by the root element.
#include <cstddef>
#include <cstdint>

#include "map_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const maps::MapFormat format : {maps::MapFormat::kExpressionMap, maps::MapFormat::kLogicPlist,
                                         maps::MapFormat::kDoricoLib, maps::MapFormat::kUnknown})
        fuzz_maps::checkImport(text, format);
    return 0;
}
