// Arbitrary bytes as an articulation file (single and bank import) and as the template. Beyond
// not crashing, whatever a file put into the bank must come back unchanged through an export and
// a re-import.
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

#include "model/articulation_file.h"
#include "model/articulation_template.h"
#include "model/defaults.h"

namespace {

void checkRoundTrip(const model::Articulations& a) {
    const std::string text = model::articulationFileText(a, 0, model::kArticulationCount);
    const model::ArticulationFileContents back = model::parseArticulationFile(text.c_str(), false);
    if (back.status != model::ArticulationFileStatus::kRead || back.elements.size() != 64u) __builtin_trap();
    static model::InstanceRecords copy;
    model::resetRecords(copy, 1, false);
    model::overlayArticulations(copy.articulations, back.elements, 0);
    auto row = [](const model::Articulations& x, int i) {
        return std::tie(x.name[i], x.icon[i], x.note[i], x.notevel[i], x.prog[i], x.modw[i], x.modc[i]);
    };
    for (int i = 0; i < model::kArticulationCount; ++i)
        if (row(a, i) != row(copy.articulations, i)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);  // zero-terminated, as read

    static model::InstanceRecords records;
    model::resetRecords(records, 1, false);
    const model::ArticulationFileContents bank = model::parseArticulationFile(bytes.c_str(), false);
    const int start = size > 0 ? data[0] % model::kArticulationCount : 0;
    model::overlayArticulations(records.articulations, bank.elements, start);
    checkRoundTrip(records.articulations);

    const model::ArticulationFileContents one = model::parseArticulationFile(bytes.c_str(), true);
    if (one.status == model::ArticulationFileStatus::kRead)
        model::overlayArticulation(records.articulations, model::kArticulationCount - 1, one.elements.front());

    static model::IconNameTable table;
    model::parseTemplate(bytes.c_str(), table);
    if (table.names.size() != table.icons.size()) __builtin_trap();
    return 0;
}
