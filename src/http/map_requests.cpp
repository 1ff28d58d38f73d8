#include "http/map_requests.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "maps/map_import.h"
#include "model/articulation_file.h"
#include "model/articulation_template.h"
#include "model/json_text.h"
#include "platform/files.h"
#include "platform/program_folder.h"

namespace http {

namespace {

constexpr const char* kBanksFolder = "Plugins\\Fruity\\Generators\\KRYL Voxtrane\\banks";
// Vendor, product and the folders a group path adds: deeper than any ready bank lies.
constexpr int kReadyDepth = 4;

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    model::appendJsonString(out, text);
    out += '"';
}

// The request's body: what follows the first blank line.
std::string_view bodyOf(const ByteBuffer& request) {
    const std::string_view text(reinterpret_cast<const char*>(request.data), request.length);
    const size_t crlf = text.find("\r\n\r\n");
    const size_t lf = text.find("\n\n");
    if (crlf == std::string_view::npos && lf == std::string_view::npos) return {};
    return crlf < lf ? text.substr(crlf + 4) : text.substr(lf + 2);
}

std::string convertAnswer(std::string_view body, const std::string& extension, const std::string& programFolder) {
    model::IconNameTable icons;
    model::loadTemplateFile(platform::joinProgramPath(programFolder, model::kTemplateFile), icons);
    const maps::Import result = maps::importMapText(body, maps::formatOfPath("." + extension), "", icons);
    std::string out = "{\n\t\"error\": ";
    appendQuoted(out, result.error);
    out += ",\n\t\"banks\": [";
    auto scratch = std::make_unique<model::Articulations>();
    for (size_t b = 0; b < result.banks.size(); ++b) {
        const maps::Bank& bank = result.banks[b];
        out += b ? ",\n\t\t{\"group\": " : "\n\t\t{\"group\": ";
        appendQuoted(out, bank.group);
        out += ", \"name\": ";
        appendQuoted(out, bank.name);
        out += ", \"leftout\": [";
        for (size_t i = 0; i < bank.leftOut.size(); ++i) {
            if (i) out += ", ";
            appendQuoted(out, bank.leftOut[i]);
        }
        out += "],\n\t\t\"articulations\": ";
        maps::storeBank(bank, *scratch);
        out += model::articulationFileText(*scratch, 0, static_cast<int>(bank.slots.size()));
        out += "}";
    }
    out += "\n\t]\n}\n";
    return out;
}

// Every .krylvox under `folder`, as paths relative to it, walked without recursion.
std::vector<std::string> readyBanks(const std::string& folder) {
    std::vector<std::string> found;
    std::vector<std::pair<std::string, int>> pending{{"", 0}};
    std::vector<platform::FolderEntry> entries;
    while (!pending.empty()) {
        const auto [relative, depth] = pending.back();
        pending.pop_back();
        if (!platform::listFolder(relative.empty() ? folder : folder + "/" + relative, entries)) continue;
        for (const platform::FolderEntry& e : entries) {
            const std::string path = relative.empty() ? e.name : relative + "/" + e.name;
            if (e.folder && depth < kReadyDepth) pending.emplace_back(path, depth + 1);
            else if (!e.folder && maps::fileStem(e.name) + ".krylvox" == e.name) found.push_back(path);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool unsafe(const std::string& relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find_first_of("/\\", start);
        if (end == std::string::npos) end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos) return true;
        start = end + 1;
    }
    return false;
}

void answer(HttpConnection* c, int status, const std::string& body) {
    Http_SendStatus(c, status, "OK");
    Http_SendHeader(c, "Content-Type", "application/json");
    Http_Write(c, "", 0);
    Http_Write(c, body.data(), body.size());
}

}  // namespace

bool isMapRequest(const char* path) { return std::strncmp(path, "/maps/", 6) == 0; }

void serveMapRequest(const HttpEvent* event, const std::string& programFolder) {
    HttpConnection* c = event->connection;
    const std::string path = event->path;
    const std::string folder = platform::joinProgramPath(programFolder, kBanksFolder);
    if (path.rfind("/maps/convert/", 0) == 0 && std::strcmp(event->method, "PUT") == 0) {
        answer(c, 200, convertAnswer(bodyOf(c->receive), path.substr(14), programFolder));
    } else if (path == "/maps/ready" || path == "/maps/ready/") {
        std::string out = "{\"banks\": [";
        const std::vector<std::string> banks = readyBanks(folder);
        for (size_t i = 0; i < banks.size(); ++i) {
            out += i ? ",\n\t" : "\n\t";
            appendQuoted(out, banks[i]);
        }
        answer(c, 200, out + "\n]}\n");
    } else if (path.rfind("/maps/ready/", 0) == 0) {
        const std::string relative = path.substr(12);
        const bool bankFile = relative.size() > 8 && relative.compare(relative.size() - 8, 8, ".krylvox") == 0;
        std::string text;
        if (bankFile && !unsafe(relative) && model::readWholeFile(folder + "/" + relative, text)) answer(c, 200, text);
        else answer(c, 404, "");
    } else {
        answer(c, 404, "");
    }
}

}  // namespace http
