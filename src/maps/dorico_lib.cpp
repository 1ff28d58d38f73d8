// Dorico expression maps: a library of definitions, each a list of playing-technique
// combinations with the actions that switch them on. List items are read by position, whatever
// their element is called.
#include <algorithm>
#include <utility>
#include <vector>

#include "maps/map_import.h"
#include "maps/map_model.h"
#include "maps/xml_reader.h"

namespace maps {

namespace {

bool hasContent(const XmlDocument& doc, uint32_t element) {
    return element != kNoElement && (doc.child(element) != kNoElement || !doc.text(element).empty());
}

MapOutput actionOf(const XmlDocument& doc, uint32_t action) {
    MapOutput o;
    const std::string type = doc.text(doc.child(action, "type"));
    o.number = doc.integer(doc.child(action, "param1"), -1);
    o.value = doc.integer(doc.child(action, "param2"), -1);
    if (type == "kKeySwitch") o.kind = OutputKind::kNote;
    else if (type == "kControlChange") o.kind = OutputKind::kController;
    else if (type == "kProgramChange") {
        o.kind = OutputKind::kProgram;
        o.value = -1;
    } else o.lost = type.empty() ? "action without a type" : type + " action";
    return o;
}

// A technique id for a written combination, from its name where a plain one fits.
const char* techniqueFor(const std::string& name) {
    const std::string lower = lowerAscii(name);
    static const char* const kWords[][2] = {
        {"legato", "pt.legato"}, {"stacc", "pt.staccato"}, {"spicc", "pt.spiccato"}, {"pizz", "pt.pizzicato"},
        {"trem", "pt.tremolo"},  {"marcato", "pt.marcato"}, {"tenuto", "pt.tenuto"}, {"trill", "pt.trill"},
    };
    for (const auto& word : kWords)
        if (lower.find(word[0]) != std::string::npos) return word[1];
    return "pt.natural";
}

// The definitions: elements named so at most a few levels down (a library may wrap its list),
// else every child.
std::vector<uint32_t> definitionsUnder(const XmlDocument& doc, uint32_t list) {
    std::vector<uint32_t> found;
    std::vector<std::pair<uint32_t, int>> pending{{list, 0}};
    while (!pending.empty()) {
        const auto [at, depth] = pending.back();
        pending.pop_back();
        for (uint32_t c = doc.child(at); c != kNoElement; c = doc.next(c)) {
            if (doc.name(c) == "ExpressionMapDefinition") found.push_back(c);
            else if (depth < 3) pending.emplace_back(c, depth + 1);
        }
    }
    std::sort(found.begin(), found.end());  // element indices follow the file's order
    if (found.empty())
        for (uint32_t c = doc.child(list); c != kNoElement; c = doc.next(c)) found.push_back(c);
    return found;
}

}  // namespace

MapReading readDoricoLib(std::string_view text) {
    MapReading out;
    XmlDocument doc;
    if (!doc.parse(text)) {
        out.error = doc.error();
        return out;
    }
    const uint32_t definitions = doc.child(doc.root(), "expressionMapDefinitions");
    if (doc.name(doc.root()) != "kScoreLibrary" || definitions == kNoElement) {
        out.error = "not a Dorico library of expression maps";
        return out;
    }
    for (const uint32_t def : definitionsUnder(doc, definitions)) {
        MapBank bank;
        bank.name = doc.text(doc.child(def, "name"));
        const uint32_t combinations = doc.child(def, "playingTechniqueCombinations");
        for (uint32_t c = doc.child(combinations); c != kNoElement; c = doc.next(c)) {
            MapArticulation a;
            const uint32_t name = doc.child(c, "name");
            a.name = doc.text(name != kNoElement ? name : doc.child(c, "techniqueIDs"));
            if (hasContent(doc, doc.child(c, "conditions"))) a.lost.push_back("conditions");
            if (hasContent(doc, doc.child(c, "switchOffActions"))) a.lost.push_back("switch-off actions");
            const uint32_t actions = doc.child(c, "switchOnActions");
            for (uint32_t act = doc.child(actions); act != kNoElement; act = doc.next(act)) a.outputs.push_back(actionOf(doc, act));
            bank.articulations.push_back(std::move(a));
        }
        out.banks.push_back(std::move(bank));
    }
    return out;
}

Export writeDoricoLib(const Bank& bank) {
    Export out;
    std::string& t = out.text;
    const auto element = [](const char* indent, const char* tag, std::string_view value) {
        std::string line = std::string(indent) + "<" + tag + ">";
        appendXmlEscaped(line, value);
        return line + "</" + tag + ">\n";
    };
    std::string entity = "kryl.voxtrane.";
    for (const char c : bank.name)
        entity += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
    t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kScoreLibrary>\n"
        "\t<expressionMapDefinitions array=\"true\">\n\t\t<ExpressionMapDefinition>\n";
    t += element("\t\t\t", "name", bank.name);
    t += element("\t\t\t", "entityID", entity);
    t += "\t\t\t<playingTechniqueCombinations array=\"true\">\n";
    for (const Slot& slot : bank.slots) {
        const std::vector<MapOutput> outputs = outputsOf(slot, bank.name, out.report);
        t += "\t\t\t\t<PlayingTechniqueCombination>\n";
        t += element("\t\t\t\t\t", "techniqueIDs", techniqueFor(slot.name));
        t += element("\t\t\t\t\t", "name", slot.name);
        t += "\t\t\t\t\t<switchOnActions array=\"true\">\n";
        for (const MapOutput& o : outputs) {
            t += "\t\t\t\t\t\t<SwitchAction>\n";
            t += element("\t\t\t\t\t\t\t", "type",
                         o.kind == OutputKind::kNote ? "kKeySwitch" : o.kind == OutputKind::kController ? "kControlChange"
                                                                                                    : "kProgramChange");
            t += element("\t\t\t\t\t\t\t", "param1", std::to_string(o.number));
            t += element("\t\t\t\t\t\t\t", "param2", std::to_string(o.kind == OutputKind::kProgram ? 0 : o.value));
            t += "\t\t\t\t\t\t</SwitchAction>\n";
        }
        t += "\t\t\t\t\t</switchOnActions>\n\t\t\t\t</PlayingTechniqueCombination>\n";
    }
    t += "\t\t\t</playingTechniqueCombinations>\n\t\t</ExpressionMapDefinition>\n\t</expressionMapDefinitions>\n"
         "</kScoreLibrary>\n";
    return out;
}

}  // namespace maps
