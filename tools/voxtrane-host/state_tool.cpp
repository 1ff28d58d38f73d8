#include "state_tool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/defaults.h"
#include "model/json_text.h"
#include "model/options.h"
#include "model/state_stream.h"

namespace voxhost {

namespace {

void member(std::string& out, const char* key, long long value, bool comma = true) {
    char text[96];
    std::snprintf(text, sizeof text, "\"%s\": %lld%s", key, value, comma ? ", " : "");
    out += text;
}

void textMember(std::string& out, const char* key, const std::string& value, bool comma = true) {
    out += "\"";
    out += key;
    out += "\": \"";
    model::appendJsonString(out, value);
    out += comma ? "\", " : "\"";
}

}  // namespace

bool stateAsJson(const std::vector<uint8_t>& bytes, std::string& json, std::string& error) {
    model::InstanceRecords r;
    model::resetRecords(r, 1, true);
    int32_t singleEditor = 1, foreignChannel = 0;
    model::LoadContext context(singleEditor, foreignChannel);
    model::MemorySource source(bytes);
    const model::LoadResult result = model::LoadState(r, source, context);
    if (bytes.size() < 4 || result.format < 1 || result.format > model::kStateFormat) {
        error = "not an instance state of a known format";
        return false;
    }
    const model::InstanceOptions& o = r.options;
    std::string& out = json;
    out = "{\n  ";
    member(out, "format", result.format, false);
    out += ",\n  \"options\": {";
    // Routing first, then every option of the one options table, then the editor's places.
    member(out, "port", o.port);
    member(out, "channel", o.channel);
    for (const model::OptionInfo& option : model::kOptions)
        member(out, option.stateKey, model::optionValue(option, o, singleEditor));
    member(out, "oldparams", o.oldparams);
    member(out, "page", o.page);
    member(out, "editing", o.editing);
    member(out, "controllerstart", r.controllerstart, false);
    out += "},\n  \"articulations\": [";
    const model::Articulations& a = r.articulations;
    bool first = true;
    for (int i = 0; i < model::kArticulationCount; ++i) {
        if (model::isArticulationEmpty(a, i)) continue;
        out += first ? "\n    {" : ",\n    {";
        first = false;
        member(out, "index", i + 1);
        textMember(out, "name", a.name[i]);
        member(out, "icon", a.icon[i]);
        member(out, "note", a.note[i]);
        member(out, "notevel", a.notevel[i]);
        member(out, "prog", a.prog[i]);
        member(out, "modw", a.modw[i]);
        member(out, "modc", a.modc[i], !a.keynamespath[i].empty() || a.keynames[i]);
        if (!a.keynamespath[i].empty()) textMember(out, "keynamespath", a.keynamespath[i], bool(a.keynames[i]));
        if (a.keynames[i]) member(out, "keynames", a.keynames[i]->named(), false);
        out += "}";
    }
    out += first ? "],\n  \"pages\": [" : "\n  ],\n  \"pages\": [";
    for (int p = 0; p < model::kControllerPageCount; ++p) {
        out += p ? ", \"" : "\"";
        model::appendJsonString(out, r.pageNames[static_cast<size_t>(p)]);
        out += "\"";
    }
    out += "],\n  \"controllers\": [";
    const model::Controllers& c = r.controllers;
    first = true;
    for (int i = 0; i < model::kControllerCount; ++i) {
        if (c.cc[i] == model::kUnassignedCc && c.name[i].empty()) continue;
        out += first ? "\n    {" : ",\n    {";
        first = false;
        member(out, "index", i + 1);
        textMember(out, "name", c.name[i]);
        member(out, "cc", c.cc[i]);
        member(out, "type", c.type[i]);
        member(out, "value", c.value[i]);
        member(out, "default", c.defaultValue[i]);
        member(out, "on", c.on[i]);
        member(out, "lock", c.lock[i], false);
        out += "}";
    }
    out += first ? "]\n}\n" : "\n  ]\n}\n";
    return true;
}

}  // namespace voxhost
