// Cubase/Nuendo expression maps: XML whose objects carry their members as typed elements named
// by a `name` attribute (<int name="status" value="144"/>).
#include <cstdlib>

#include "maps/map_import.h"
#include "maps/map_model.h"
#include "maps/xml_reader.h"

namespace maps {

namespace {

// The child `tag` whose name attribute is `name`.
uint32_t named(const XmlDocument& doc, uint32_t parent, std::string_view tag, std::string_view name) {
    for (uint32_t c = doc.child(parent, tag); c != kNoElement; c = doc.next(c, tag))
        if (doc.attribute(c, "name") == name) return c;
    return kNoElement;
}

// The objects of a member's list: <member name=...><list><obj/>...
std::vector<uint32_t> memberObjects(const XmlDocument& doc, uint32_t parent, std::string_view member) {
    std::vector<uint32_t> out;
    const uint32_t list = doc.child(named(doc, parent, "member", member), "list");
    for (uint32_t o = doc.child(list, "obj"); o != kNoElement; o = doc.next(o, "obj")) out.push_back(o);
    return out;
}

double numberValue(const XmlDocument& doc, uint32_t parent, std::string_view tag, std::string_view name, double absent) {
    const uint32_t e = named(doc, parent, tag, name);
    if (e == kNoElement) return absent;
    const std::string v = doc.attribute(e, "value");
    char* end = nullptr;
    const double d = std::strtod(v.c_str(), &end);
    return end != v.c_str() ? d : absent;
}

int intValue(const XmlDocument& doc, uint32_t parent, std::string_view name, int absent) {
    const double d = numberValue(doc, parent, "int", name, absent);
    return d >= -1e9 && d <= 1e9 ? static_cast<int>(d) : absent;
}

void channelLost(int channel, std::vector<std::string>& lost) {
    if (channel >= 0) lost.push_back("routing to channel " + std::to_string(channel + 1));
}

MapArticulation slotArticulation(const XmlDocument& doc, uint32_t slot) {
    MapArticulation a;
    a.name = doc.attribute(named(doc, named(doc, slot, "member", "name"), "string", "s"), "value");
    const uint32_t action = named(doc, slot, "obj", "action");
    if (action == kNoElement) return a;
    channelLost(intValue(doc, action, "channel", -1), a.lost);
    for (const uint32_t changer : memberObjects(doc, action, "noteChanger")) {
        channelLost(intValue(doc, changer, "channel", -1), a.lost);
        if (const int t = intValue(doc, changer, "transpose", 0)) a.lost.push_back("transpose " + std::to_string(t));
        if (numberValue(doc, changer, "float", "velocityFact", 1) != 1) a.lost.push_back("velocity factor");
        if (numberValue(doc, changer, "float", "lengthFact", 1) != 1) a.lost.push_back("length factor");
    }
    for (const uint32_t event : memberObjects(doc, action, "midiMessages")) {
        MapOutput o;
        const int status = intValue(doc, event, "status", 0);
        o.number = intValue(doc, event, "data1", -1);
        o.value = intValue(doc, event, "data2", -1);
        switch (status & 0xF0) {
        case 0x90: o.kind = OutputKind::kNote; break;
        case 0xB0: o.kind = OutputKind::kController; break;
        case 0xC0:
            o.kind = OutputKind::kProgram;
            o.value = -1;
            break;
        case 0xE0: o.lost = "pitch bend"; break;
        default: o.lost = "MIDI status " + std::to_string(status);
        }
        if (o.kind != OutputKind::kOther && (status & 0x0F) != 0)
            o.lost = "routing to channel " + std::to_string((status & 0x0F) + 1);
        const int channel = intValue(doc, event, "channel", -1);
        if (o.kind != OutputKind::kOther && channel >= 0) o.lost = "routing to channel " + std::to_string(channel + 1);
        a.outputs.push_back(std::move(o));
    }
    return a;
}

}  // namespace

MapReading readExpressionMap(std::string_view text) {
    MapReading out;
    XmlDocument doc;
    if (!doc.parse(text)) {
        out.error = doc.error();
        return out;
    }
    if (doc.name(doc.root()) != "InstrumentMap") {
        out.error = "not an expression map: its root is <" + std::string(doc.name(doc.root())) + ">";
        return out;
    }
    MapBank bank;
    bank.name = doc.attribute(named(doc, doc.root(), "string", "name"), "value");
    for (const uint32_t slot : memberObjects(doc, doc.root(), "slots")) bank.articulations.push_back(slotArticulation(doc, slot));
    out.banks.push_back(std::move(bank));
    return out;
}

Export writeExpressionMap(const Bank& bank) {
    Export out;
    std::string& t = out.text;
    const auto escaped = [](std::string_view s) {
        std::string e;
        appendXmlEscaped(e, s);
        return e;
    };
    const auto intMember = [](const char* indent, const char* name, int value) {
        return std::string(indent) + "<int name=\"" + name + "\" value=\"" + std::to_string(value) + "\"/>\n";
    };
    const auto visuals = [&](const char* indent, const Slot& slot, size_t id) {
        const std::string in(indent);
        return in + "<obj class=\"USlotVisuals\" ID=\"" + std::to_string(id) + "\">\n" +
               intMember((in + "   ").c_str(), "displaytype", 1) + intMember((in + "   ").c_str(), "articulationtype", 1) +
               intMember((in + "   ").c_str(), "symbol", 0) + in + "   <string name=\"text\" value=\"" + escaped(slot.name) +
               "\" wide=\"true\"/>\n" + in + "   <string name=\"description\" value=\"" + escaped(slot.name) +
               "\" wide=\"true\"/>\n" + intMember((in + "   ").c_str(), "group", 0) + in + "</obj>\n";
    };
    t = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<InstrumentMap>\n";
    t += "   <string name=\"name\" value=\"" + escaped(bank.name) + "\" wide=\"true\"/>\n";
    t += "   <member name=\"slotvisuals\">\n      <int name=\"ownership\" value=\"1\"/>\n      <list name=\"obj\" type=\"obj\">\n";
    for (size_t i = 0; i < bank.slots.size(); ++i) t += visuals("         ", bank.slots[i], 1000 + i);
    t += "      </list>\n   </member>\n";
    t += "   <member name=\"slots\">\n      <int name=\"ownership\" value=\"1\"/>\n      <list name=\"obj\" type=\"obj\">\n";
    size_t id = 2000;
    for (size_t i = 0; i < bank.slots.size(); ++i) {
        const Slot& slot = bank.slots[i];
        const std::vector<MapOutput> outputs = outputsOf(slot, bank.name, out.report);
        t += "         <obj class=\"PSoundSlot\" ID=\"" + std::to_string(id++) + "\">\n";
        t += "            <obj class=\"PSlotThruTrigger\" name=\"remote\" ID=\"" + std::to_string(id++) + "\">\n";
        t += intMember("               ", "status", 144) + intMember("               ", "data1", -1);
        t += "            </obj>\n";
        t += "            <obj class=\"PSlotMidiAction\" name=\"action\" ID=\"" + std::to_string(id++) + "\">\n";
        t += intMember("               ", "version", 600);
        t += "               <member name=\"noteChanger\">\n                  <int name=\"ownership\" value=\"1\"/>\n"
             "                  <list name=\"obj\" type=\"obj\">\n";
        t += "                     <obj class=\"PSlotNoteChanger\" ID=\"" + std::to_string(id++) + "\">\n";
        t += intMember("                        ", "channel", -1) +
             "                        <float name=\"velocityFact\" value=\"1\"/>\n"
             "                        <float name=\"lengthFact\" value=\"1\"/>\n" +
             intMember("                        ", "minVelocity", 0) + intMember("                        ", "maxVelocity", 127) +
             intMember("                        ", "transpose", 0) + intMember("                        ", "minPitch", 0) +
             intMember("                        ", "maxPitch", 127);
        t += "                     </obj>\n                  </list>\n               </member>\n";
        t += "               <member name=\"midiMessages\">\n                  <int name=\"ownership\" value=\"1\"/>\n"
             "                  <list name=\"obj\" type=\"obj\">\n";
        for (const MapOutput& o : outputs) {
            const int status = o.kind == OutputKind::kNote ? 144 : o.kind == OutputKind::kController ? 176 : 192;
            t += "                     <obj class=\"POutputEvent\" ID=\"" + std::to_string(id++) + "\">\n";
            t += intMember("                        ", "status", status) +
                 intMember("                        ", "data1", o.number) +
                 intMember("                        ", "data2", o.kind == OutputKind::kProgram ? 0 : o.value);
            t += "                     </obj>\n";
        }
        t += "                  </list>\n               </member>\n";
        t += intMember("               ", "channel", -1);
        t += "            </obj>\n";
        t += "            <member name=\"sv\">\n               <int name=\"ownership\" value=\"2\"/>\n"
             "               <list name=\"obj\" type=\"obj\">\n";
        t += visuals("                  ", slot, 1000 + i);
        t += "               </list>\n            </member>\n";
        t += "            <member name=\"name\">\n               <string name=\"s\" value=\"" + escaped(slot.name) +
             "\" wide=\"true\"/>\n            </member>\n";
        t += intMember("            ", "color", static_cast<int>(i % 16));
        t += "         </obj>\n";
    }
    t += "      </list>\n   </member>\n</InstrumentMap>\n";
    return out;
}

}  // namespace maps
