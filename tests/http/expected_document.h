// The instances document as the API must write it, line by line, for instances that differ
// from a new instance only where a test says so.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct ExpectedInstance {
    uint32_t id = 0;
    int volume = 0, pan = 0, pitch = 0;
    int port = 0, channel = 0;
    bool visible = false, minimised = false;
    int tab = 1, editing = 0, bankstart = 0, controllerstart = 0;
    std::map<std::string, bool> options;           // only those that differ from a new instance
    std::map<int, std::string> articulations;      // slot -> its whole "{...}" text
    std::map<int, std::string> controllers;        // index -> its whole "{...}" text
    std::map<int, std::string> mappings;           // slot -> its "{...}" text
    bool keyNamesMissing = false;
    std::string keyNamesTitle;
};

inline std::string expectedInstance(const ExpectedInstance& e) {
    auto i = [](int v) { return std::to_string(v); };
    auto b = [](bool v) { return std::string(v ? "true" : "false"); };
    std::string s;
    s += "\t\t{\n";
    s += "\t\t\t\"id\":\t\t" + std::to_string(e.id) + ",\n";
    s += "\t\t\t\"volume\":\t" + i(e.volume) + ",\n";
    s += "\t\t\t\"pan\":\t\t" + i(e.pan) + ",\n";
    s += "\t\t\t\"pitch\":\t" + i(e.pitch) + ",\n";
    s += "\t\t\t\"port\":\t\t" + i(e.port) + ",\n";
    s += "\t\t\t\"channel\":\t" + i(e.channel) + ",\n";
    s += "\t\t\t\"visible\":\t" + b(e.visible) + ",\n";
    s += "\t\t\t\"minimised\":\t" + b(e.minimised) + ",\n";
    s += "\t\t\t\"tab\":\t\t" + i(e.tab) + ",\n";
    s += "\t\t\t\"editing\":\t" + i(e.editing) + ",\n";
    s += "\t\t\t\"bankstart\":\t\t" + i(e.bankstart) + ",\n";
    s += "\t\t\t\"controllerstart\":\t\t" + i(e.controllerstart) + ",\n";
    s += "\t\t\t\"options\":\n\t\t\t{\n";
    const std::vector<std::pair<std::string, bool>> defaults = {
        {"midiextend", false},   {"ccghosting", false},   {"ccghostontransport", false}, {"holdkeyswitch", false},
        {"cctimingfix", false},  {"allchannelomni", true}, {"cc64release", true},         {"preserveport", false},
        {"releasetocc117", false}, {"resetstate", false}, {"showuacc", false},            {"parameterccs", true},
        {"allowoverlap", false}, {"altmiddlec", false},   {"optimiseauto", true},         {"showsingle", true},
        {"articbanks", false}};
    for (size_t k = 0; k < defaults.size(); ++k) {
        const auto changed = e.options.find(defaults[k].first);
        const bool on = changed != e.options.end() ? changed->second : defaults[k].second;
        s += "\t\t\t\t\"" + defaults[k].first + "\": " + b(on) + (k + 1 < defaults.size() ? ",\n" : "\n");
    }
    s += "\t\t\t},\n";
    s += "\t\t\t\"articulations\":\n\t\t\t[";
    for (int slot = 0; slot < 64; ++slot) {
        const auto it = e.articulations.find(slot);
        s += std::string(slot ? "," : "") + "\n\t\t\t\t" +
             (it != e.articulations.end()
                  ? it->second
                  : "{\"name\": \"\", \"icon\": 55, \"note\": -1, \"notev\": 127, \"prog\": -1, \"modw\": -1, \"modc\": -1}");
    }
    s += "\n\t\t\t],\n";
    s += "\t\t\t\"controllers\":\n\t\t\t[\n";
    const char* firstPage[6] = {
        "{\"name\": \"Dynamics\", \"type\": 0, \"default\": 127, \"cc\": 1, \"on\": 1, \"value\": 127, \"lock\": 0}",
        "{\"name\": \"Breath\", \"type\": 0, \"default\": 127, \"cc\": 2, \"on\": 1, \"value\": 127, \"lock\": 0}",
        "{\"name\": \"Expression\", \"type\": 0, \"default\": 127, \"cc\": 11, \"on\": 1, \"value\": 127, \"lock\": 0}",
        "{\"name\": \"Speed\", \"type\": 0, \"default\": 127, \"cc\": 16, \"on\": 1, \"value\": 127, \"lock\": 0}",
        "{\"name\": \"Vibrato\", \"type\": 0, \"default\": 127, \"cc\": 21, \"on\": 1, \"value\": 127, \"lock\": 0}",
        "{\"name\": \"Hold\", \"type\": 1, \"default\": 0, \"cc\": 64, \"on\": 1, \"value\": 0, \"lock\": 0}"};
    for (int c = 0; c < 96; ++c) {
        const auto it = e.controllers.find(c);
        s += std::string(c ? "," : "") + "\n\t\t\t\t" +
             (it != e.controllers.end() ? it->second
              : c < 6 ? firstPage[c]
                      : "{\"name\": \"\", \"type\": 0, \"default\": 127, \"cc\": 255, \"on\": 1, \"value\": 127, \"lock\": 0}");
    }
    s += "\n\t\t\t],\n";
    s += "\t\t\t\"pianokeys\":\n\t\t\t{\n";
    s += "\t\t\t\t\"missing\": " + b(e.keyNamesMissing) + ",\n";
    s += "\t\t\t\t\"name\": \"" + e.keyNamesTitle + "\",\n";
    s += "\t\t\t\t\"mappings\":\n\t\t\t\t[\n";
    for (int slot = 0; slot < 64; ++slot) {
        const auto it = e.mappings.find(slot);
        s += "\t\t\t\t\t" + (it != e.mappings.end() ? it->second : std::string("{}")) + (slot < 63 ? "," : "") + "\n";
    }
    s += "\t\t\t\t]\n\t\t\t}\n\t\t}";
    return s;
}

inline std::string expectedDocument(const std::vector<ExpectedInstance>& instances) {
    std::string s = "{\n\t\"instances\":\n\t[\n";
    for (size_t k = 0; k < instances.size(); ++k) s += (k ? ",\n" : "") + expectedInstance(instances[k]);
    return s + "\n\t]\n}\n";
}

}  // namespace testing_support
