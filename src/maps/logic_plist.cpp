// Logic Pro articulation sets: an XML property list, whose dictionaries alternate <key> elements
// and their values.
#include "maps/map_import.h"
#include "maps/map_model.h"
#include "maps/xml_reader.h"

namespace maps {

namespace {

uint32_t value(const XmlDocument& doc, uint32_t dict, std::string_view key) {
    for (uint32_t k = doc.child(dict, "key"); k != kNoElement; k = doc.next(k, "key"))
        if (doc.text(k) == key) return doc.next(k);
    return kNoElement;
}

MapOutput outputOf(const XmlDocument& doc, uint32_t dict) {
    MapOutput o;
    const std::string status = doc.text(value(doc, dict, "Status"));
    const std::string kind = lowerAscii(status);
    o.number = doc.integer(value(doc, dict, "MB1"), -1);
    o.value = doc.integer(value(doc, dict, "ValueLow"), -1);
    if (kind == "note on") o.kind = OutputKind::kNote;
    else if (kind == "controller") o.kind = OutputKind::kController;
    else if (kind == "program") {
        o.kind = OutputKind::kProgram;
        o.value = -1;
    } else o.lost = status.empty() ? "output without a status" : status;
    const uint32_t channel = value(doc, dict, "Channel");
    if (o.kind != OutputKind::kOther && channel != kNoElement) o.lost = "routing to channel " + doc.text(channel);
    return o;
}

}  // namespace

MapReading readLogicPlist(std::string_view text) {
    MapReading out;
    XmlDocument doc;
    if (!doc.parse(text)) {
        out.error = doc.error();
        return out;
    }
    const uint32_t top = doc.child(doc.root(), "dict");
    if (doc.name(doc.root()) != "plist" || top == kNoElement) {
        out.error = "not an articulation set: no property list dictionary";
        return out;
    }
    const uint32_t list = value(doc, top, "Articulations");
    if (list == kNoElement || doc.name(list) != "array") {
        out.error = "not an articulation set: no Articulations array";
        return out;
    }
    MapBank bank;
    bank.name = doc.text(value(doc, top, "Name"));
    for (uint32_t item = doc.child(list, "dict"); item != kNoElement; item = doc.next(item, "dict")) {
        MapArticulation a;
        a.name = doc.text(value(doc, item, "Name"));
        const uint32_t output = value(doc, item, "Output");
        if (output != kNoElement && doc.name(output) == "dict") a.outputs.push_back(outputOf(doc, output));
        else if (output != kNoElement)
            for (uint32_t d = doc.child(output, "dict"); d != kNoElement; d = doc.next(d, "dict"))
                a.outputs.push_back(outputOf(doc, d));
        bank.articulations.push_back(std::move(a));
    }
    out.banks.push_back(std::move(bank));
    return out;
}

Export writeLogicPlist(const Bank& bank) {
    Export out;
    std::string& t = out.text;
    const auto string = [](const char* indent, const char* key, std::string_view s) {
        std::string line = std::string(indent) + "<key>" + key + "</key>\n" + indent + "<string>";
        appendXmlEscaped(line, s);
        return line + "</string>\n";
    };
    const auto integer = [](const char* indent, const char* key, int v) {
        return std::string(indent) + "<key>" + key + "</key>\n" + indent + "<integer>" + std::to_string(v) + "</integer>\n";
    };
    t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n\t<key>Articulations</key>\n\t<array>\n";
    for (size_t i = 0; i < bank.slots.size(); ++i) {
        const Slot& slot = bank.slots[i];
        const std::vector<MapOutput> outputs = outputsOf(slot, bank.name, out.report);
        t += "\t\t<dict>\n";
        t += integer("\t\t\t", "ArticulationID", static_cast<int>(i + 1));
        t += integer("\t\t\t", "ID", static_cast<int>(1001 + i));
        t += string("\t\t\t", "Name", slot.name);
        if (!outputs.empty()) {
            t += "\t\t\t<key>Output</key>\n\t\t\t<array>\n";
            for (const MapOutput& o : outputs) {
                t += "\t\t\t\t<dict>\n";
                t += integer("\t\t\t\t\t", "MB1", o.number);
                t += string("\t\t\t\t\t", "Status",
                            o.kind == OutputKind::kNote ? "Note On" : o.kind == OutputKind::kController ? "Controller" : "Program");
                if (o.kind != OutputKind::kProgram) t += integer("\t\t\t\t\t", "ValueLow", o.value);
                t += "\t\t\t\t</dict>\n";
            }
            t += "\t\t\t</array>\n";
        }
        t += "\t\t</dict>\n";
    }
    t += "\t</array>\n";
    t += string("\t", "Name", bank.name);
    t += "\t<key>Switches</key>\n\t<array/>\n</dict>\n</plist>\n";
    return out;
}

}  // namespace maps
