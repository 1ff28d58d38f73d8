// Arbitrary bytes as a REAPER bank file.
#include <cstddef>
#include <cstdint>

#include "map_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_maps::checkImport(std::string_view(reinterpret_cast<const char*>(data), size), maps::MapFormat::kReaBank);
    return 0;
}
