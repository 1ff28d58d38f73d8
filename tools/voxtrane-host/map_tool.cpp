#include "map_tool.h"

#include <cstdio>
#include <memory>
#include <set>

#include "hostkit/module_loader.h"
#include "maps/map_import.h"
#include "model/articulation_file.h"
#include "model/articulation_template.h"
#include "model/defaults.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "render.h"

namespace voxhost {

namespace {

constexpr int kFailed = 2;

int complain(const std::string& line) {
    std::fprintf(stderr, "voxtrane-host: %s\n", line.c_str());
    return kFailed;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// The folders of a group path ("Vendor/Product") under `folder`, made as needed.
bool groupFolder(std::string folder, const std::string& group, std::string& out) {
    size_t at = 0;
    while (at <= group.size()) {
        size_t end = group.find('/', at);
        if (end == std::string::npos) end = group.size();
        const std::string part = group.substr(at, end - at);
        at = end + 1;
        if (part.empty()) continue;
        folder += "/" + safeFileName(part);
        if (!platform::makeFolder(folder)) return false;
    }
    out = folder;
    return true;
}

}  // namespace

std::string safeFileName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        out += (u < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) ? '-' : c;
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    return out.empty() ? "Bank" : out;
}

int importMaps(const std::vector<std::string>& files, const std::string& folder, bool quiet) {
    if (!platform::makeFolder(folder)) return complain(folder + ": cannot make the folder");
    model::IconNameTable icons;
    model::loadTemplateFile(platform::joinProgramPath(hostkit::executableFolder(), model::kTemplateFile), icons);
    auto records = std::make_unique<model::Articulations>();
    std::set<std::string> written;
    int banks = 0, articulations = 0, lines = 0, bad = 0;
    for (const std::string& file : files) {
        const maps::Import result = maps::importMapFile(file, icons);
        if (!result.error.empty()) {
            complain(file + ": " + result.error + "; nothing written for it");
            ++bad;
            continue;
        }
        if (!quiet)
            for (const std::string& line : result.report) std::printf("%s\n", line.c_str());
        lines += static_cast<int>(result.report.size());
        for (const maps::Bank& bank : result.banks) {
            std::string where;
            if (!groupFolder(folder, bank.group, where)) return complain(folder + ": cannot make a folder for " + bank.group);
            const std::string base = where + "/" + safeFileName(bank.name);
            std::string path = base + ".krylvox";
            for (int n = 2; written.count(path); ++n) path = base + " (" + std::to_string(n) + ").krylvox";
            maps::storeBank(bank, *records);
            std::string error;
            const std::string text = model::articulationFileText(*records, 0, static_cast<int>(bank.slots.size()));
            if (!writeFileAtomically(path, bytesOf(text), error)) return complain(path + ": " + error);
            written.insert(path);
            ++banks;
            articulations += static_cast<int>(bank.slots.size());
        }
    }
    std::printf("%d bank(s), %d articulation(s) written to %s; %d line(s) of what was left out; %d file(s) not read\n",
                banks, articulations, folder.c_str(), lines, bad);
    return banks > 0 ? 0 : kFailed;
}

int exportBank(const std::string& bankPath, const std::string& outPath) {
    const maps::MapFormat format = maps::formatOfPath(outPath);
    if (format == maps::MapFormat::kUnknown)
        return complain(outPath + ": the extension must be .reabank, .expressionmap, .plist or .doricolib");
    const model::ArticulationFileContents file = model::readArticulationFile(bankPath, false);
    if (file.status == model::ArticulationFileStatus::kUnreadable) return complain(bankPath + ": cannot be read");
    if (file.status != model::ArticulationFileStatus::kRead) return complain(bankPath + ": not an articulation bank");
    auto records = std::make_unique<model::InstanceRecords>();
    model::resetRecords(*records, 1, false);
    const int count = model::overlayArticulations(records->articulations, file.elements, 0);
    const maps::Export out = maps::exportBank(maps::bankOf(records->articulations, count, maps::fileStem(bankPath)), format);
    for (const std::string& line : out.report) std::printf("%s\n", line.c_str());
    std::string error;
    if (!writeFileAtomically(outPath, bytesOf(out.text), error)) return complain(outPath + ": " + error);
    std::printf("%d articulation(s) written to %s; %zu line(s) of what it cannot hold\n", count, outPath.c_str(),
                out.report.size());
    return 0;
}

}  // namespace voxhost
