#include "model/articulation_file.h"

#include <rapidjson/document.h>

#include <cstdio>

#include "model/defaults.h"
#include "model/json_text.h"
#include "platform/files.h"

namespace model {

namespace {

void appendMember(std::string& out, const char* key, int32_t value, bool last) {
    char line[48];
    std::snprintf(line, sizeof line, "\t\t\"%s\": %i%s\n", key, static_cast<int>(value), last ? "" : ",");
    out += line;
}

std::optional<int32_t> intMember(const rapidjson::Value& object, const char* key) {
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsInt()) return std::nullopt;
    return static_cast<int32_t>(it->value.GetInt());
}

ArticulationFields fieldsOf(const rapidjson::Value& element) {
    ArticulationFields f;
    if (!element.IsObject()) return f;
    const auto name = element.FindMember("name");
    if (name != element.MemberEnd() && name->value.IsString()) f.name = std::string(name->value.GetString());
    f.icon = intMember(element, "icon");
    f.note = intMember(element, "note");
    f.notevel = intMember(element, "notevel");
    f.prog = intMember(element, "uacc");
    if (const auto prog = intMember(element, "prog")) f.prog = prog;
    f.modw = intMember(element, "modw");
    f.modc = intMember(element, "modc");
    return f;
}

}  // namespace

std::string articulationFileText(const Articulations& a, int first, int count) {
    std::string out = "[";
    for (int i = first; i < first + count; ++i) {
        if (i < 0 || i >= kArticulationCount) continue;
        out += i == first ? "\n\t{\n" : ",\n\t{\n";
        out += "\t\t\"name\": \"";
        appendJsonString(out, a.name[i]);
        out += "\",\n";
        appendMember(out, "icon", a.icon[i], false);
        appendMember(out, "note", a.note[i], false);
        appendMember(out, "notevel", a.notevel[i], false);
        appendMember(out, "prog", a.prog[i], false);
        appendMember(out, "modw", a.modw[i], false);
        appendMember(out, "modc", a.modc[i], true);
        out += "\t}";
    }
    out += "\n]\n";
    return out;
}

bool writeArticulationFile(const std::string& path, const Articulations& a, int first, int count) {
    std::FILE* file = platform::openFile(path, "w");
    if (!file) return false;
    const std::string text = articulationFileText(a, first, count);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return (std::fclose(file) == 0) && written;
}

ArticulationFileContents parseArticulationFile(const char* text, bool single) {
    ArticulationFileContents out;
    rapidjson::Document doc;
    // Iterative: a file of nothing but opening brackets must not exhaust the host's stack.
    doc.Parse<rapidjson::kParseIterativeFlag>(text);
    if (doc.HasParseError()) {
        out.status = ArticulationFileStatus::kNotJson;
        return out;
    }
    out.status = ArticulationFileStatus::kNotABank;
    if (!doc.IsArray() || doc.Size() > static_cast<rapidjson::SizeType>(kMaxFileElements)) return out;
    if (single && doc.Empty()) return out;
    // An element that is not an object still takes its slot, so later ones land where the
    // file's order puts them.
    for (const auto& element : doc.GetArray()) out.elements.push_back(fieldsOf(element));
    out.status = ArticulationFileStatus::kRead;
    return out;
}

ArticulationFileContents readArticulationFile(const std::string& path, bool single) {
    std::string text;
    if (!readWholeFile(path, text)) return {};
    return parseArticulationFile(text.c_str(), single);
}

void overlayArticulation(Articulations& a, int index, const ArticulationFields& f) {
    if (index < 0 || index >= kArticulationCount) return;
    if (f.name) a.name[index] = *f.name;
    if (f.icon) a.icon[index] = *f.icon;
    if (f.note) a.note[index] = *f.note;
    if (f.notevel) a.notevel[index] = *f.notevel;
    if (f.prog) a.prog[index] = *f.prog;
    if (f.modw) a.modw[index] = *f.modw;
    if (f.modc) a.modc[index] = *f.modc;
}

int overlayArticulations(Articulations& a, const std::vector<ArticulationFields>& elements, int startSlot) {
    int taken = 0;
    for (const ArticulationFields& fields : elements) {
        const int slot = startSlot + taken;
        if (slot < 0 || slot >= kArticulationCount) break;
        overlayArticulation(a, slot, fields);
        ++taken;
    }
    return taken;
}

int usedArticulationCount(const Articulations& a) {
    for (int i = kArticulationCount - 1; i >= 0; --i)
        if (!isArticulationEmpty(a, i)) return i + 1;
    return 0;
}

bool readWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = platform::openFile(path, "rb");
    if (!file) return false;
    contents.clear();
    char chunk[16384];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, n);
    // A folder opens on some systems and then fails to read: that is not a file either.
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

}  // namespace model
