#include "model/articulation_template.h"

#include <rapidjson/document.h>

#include "model/articulation_file.h"

namespace model {

void parseTemplate(const char* text, IconNameTable& table) {
    table.clear();
    rapidjson::Document doc;
    doc.Parse<rapidjson::kParseIterativeFlag>(text);
    if (doc.HasParseError() || !doc.IsObject()) return;
    const auto icons = doc.FindMember("articulationicons");
    if (icons == doc.MemberEnd() || !icons->value.IsObject()) return;
    for (const auto& member : icons->value.GetObject()) {
        if (!member.value.IsInt()) continue;
        table.add(member.name.GetString(), static_cast<int32_t>(member.value.GetInt()));
    }
}

void loadTemplateFile(const std::string& path, IconNameTable& table) {
    table.clear();
    std::string text;
    if (!readWholeFile(path, text)) return;
    parseTemplate(text.c_str(), table);
}

}  // namespace model
