// Arbitrary bytes as an articulation file (single and bank import, and dropped on an instance)
// and as the template. Beyond not crashing, whatever a file put into the bank must come back
// unchanged through an export and a re-import.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "hostkit/recording_host.h"
#include "model/articulation_file.h"
#include "model/articulation_template.h"
#include "model/defaults.h"
#include "plugin/fruity_abi.h"

extern "C" TFruityPlug* CreatePlugInstance(TFruityPlugHost* host, TPluginTag tag) noexcept;

namespace {

void checkRoundTrip(const model::Articulations& a) {
    const std::string text = model::articulationFileText(a, 0, model::kArticulationCount);
    const model::ArticulationFileContents back = model::parseArticulationFile(text.c_str(), false);
    if (back.status != model::ArticulationFileStatus::kRead || back.elements.size() != 64u) __builtin_trap();
    static model::InstanceRecords copy;
    model::resetRecords(copy, 1, false);
    model::overlayArticulations(copy.articulations, back.elements, 0);
    const model::Articulations& b = copy.articulations;
    for (int i = 0; i < model::kArticulationCount; ++i) {
        if (a.name[i] != b.name[i] || a.icon[i] != b.icon[i] || a.note[i] != b.note[i] ||
            a.notevel[i] != b.notevel[i] || a.prog[i] != b.prog[i] || a.modw[i] != b.modw[i] ||
            a.modc[i] != b.modc[i])
            __builtin_trap();
    }
}

// One instance for the whole run, fed through the host's drop message as FL Studio does.
void dropOnInstance(const std::string& bytes) {
    static hostkit::RecordingHost host;
    static TFruityPlug* plug = CreatePlugInstance(&host, 1);
    static const struct ScratchFile {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("voxtrane-fuzz-" + std::to_string(std::random_device()()) + ".krylvox"))
                               .string();
        ~ScratchFile() { std::remove(path.c_str()); }
    } scratch;
    const std::string& path = scratch.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    host.clear();
    plug->Dispatcher(18, 0, reinterpret_cast<intptr_t>(path.c_str()));
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

    dropOnInstance(bytes);
    return 0;
}
