#include "model/defaults.h"

#include "model/options.h"

#include <cstring>

namespace model {

namespace {

struct NamedController {
    const char* name;
    int32_t cc;
};
// Page 1 of a new instance.
constexpr NamedController kFirstPage[kControllersPerPage] = {
    {"Dynamics", 1}, {"Breath", 2}, {"Expression", 11}, {"Speed", 16}, {"Vibrato", 21}, {"Hold", 64},
};

std::unique_ptr<KeyNameList> cloneKeyNames(const std::unique_ptr<KeyNameList>& list) {
    return list ? std::make_unique<KeyNameList>(*list) : nullptr;
}

}  // namespace

void defaultRouting(int liveInstances, int32_t& port, int32_t& channel) {
    const int n = liveInstances < 1 ? 1 : liveInstances;
    port = (n - 1) / kBankSize;
    channel = (n - 1) % kBankSize;
}

void resetArticulation(Articulations& a, int i) {
    a.icon[i] = kNoIcon;
    a.note[i] = kNone;
    a.notevel[i] = 127;
    a.prog[i] = kNone;
    a.modw[i] = kNone;
    a.modc[i] = kModCcUnset;
    a.name[i].clear();
    a.keynamesmissing[i] = 0;
    a.keynames[i].reset();
    a.keynamespath[i].clear();
    a.keynamestitle[i].clear();
}

void resetRecords(InstanceRecords& r, int liveInstances, bool deriveRouting) {
    InstanceOptions& o = r.options;
    if (deriveRouting) defaultRouting(liveInstances, o.port, o.channel);

    // `preserve`, `page`, `editing` and `startart` survive a reset.
    for (const OptionInfo& option : kOptions)
        if (option.field && !option.keptByReset) o.*option.field = option.defaultValue;
    o.minimised = 0;
    o.uiscale = 0.0f;

    for (int i = 0; i < kArticulationCount; ++i) resetArticulation(r.articulations, i);

    for (auto& page : r.pageNames) page.clear();
    r.controllerstart = 0;

    Controllers& c = r.controllers;
    for (int i = 0; i < kControllerCount; ++i) {
        c.name[i].clear();
        c.type[i] = kKnob;
        c.defaultValue[i] = 127;
        c.cc[i] = kUnassignedCc;
        c.on[i] = 1;
        c.value[i] = 127;
        c.lock[i] = 0;
    }
    for (int i = 0; i < kControllersPerPage; ++i) {
        c.name[i] = kFirstPage[i].name;
        c.cc[i] = kFirstPage[i].cc;
    }
    const int hold = kControllersPerPage - 1;
    c.type[hold] = kSwitch;
    c.defaultValue[hold] = 0;
    c.value[hold] = 0;
}

bool isArticulationEmptyForMenu(const Articulations& a, int i) {
    return a.icon[i] == kNoIcon && a.note[i] == kNone && a.notevel[i] == 127 && a.modw[i] == kNone &&
           a.modc[i] == kModCcUnset && a.name[i].empty() && a.keynamespath[i].empty() &&
           a.keynamestitle[i].empty() && !a.keynames[i];
}

bool isArticulationEmpty(const Articulations& a, int i) {
    return isArticulationEmptyForMenu(a, i) && a.prog[i] == kNone && a.keynamesmissing[i] == 0;
}

ArticulationCore fieldsOf(const Articulations& a, int i) {
    return {a.name[i], a.icon[i], a.note[i], a.notevel[i], a.prog[i], a.modw[i], a.modc[i]};
}

void storeFields(Articulations& a, int i, const ArticulationCore& s) {
    a.name[i] = s.name;
    a.icon[i] = s.icon;
    a.note[i] = s.note;
    a.notevel[i] = s.notevel;
    a.prog[i] = s.prog;
    a.modw[i] = s.modw;
    a.modc[i] = s.modc;
}

Controller controllerOf(const Controllers& c, int i) {
    return {c.name[i], c.type[i], c.defaultValue[i], c.cc[i], c.on[i], c.value[i], c.lock[i]};
}

void storeController(Controllers& c, int i, const Controller& s) {
    c.name[i] = s.name;
    c.type[i] = s.type;
    c.defaultValue[i] = s.defaultValue;
    c.cc[i] = s.cc;
    c.on[i] = s.on;
    c.value[i] = s.value;
    c.lock[i] = s.lock;
}

Articulation copyArticulation(const Articulations& a, int i) {
    Articulation out;
    static_cast<ArticulationCore&>(out) = fieldsOf(a, i);
    out.keynamesmissing = a.keynamesmissing[i];
    out.keynames = cloneKeyNames(a.keynames[i]);
    out.keynamespath = a.keynamespath[i];
    out.keynamestitle = a.keynamestitle[i];
    return out;
}

void storeArticulation(Articulations& a, int i, const Articulation& s) {
    storeFields(a, i, s);
    a.keynamesmissing[i] = s.keynamesmissing;
    a.keynames[i] = cloneKeyNames(s.keynames);
    a.keynamespath[i] = s.keynamespath;
    a.keynamestitle[i] = s.keynamestitle;
}

void moveArticulation(Articulations& a, int from, int to) {
    if (from == to) return;
    a.name[to] = std::move(a.name[from]);
    a.icon[to] = a.icon[from];
    a.note[to] = a.note[from];
    a.notevel[to] = a.notevel[from];
    a.prog[to] = a.prog[from];
    a.modw[to] = a.modw[from];
    a.modc[to] = a.modc[from];
    a.keynamesmissing[to] = a.keynamesmissing[from];
    a.keynames[to] = std::move(a.keynames[from]);
    a.keynamespath[to] = std::move(a.keynamespath[from]);
    a.keynamestitle[to] = std::move(a.keynamestitle[from]);
    resetArticulation(a, from);
}

void swapArticulations(Articulations& live, Articulations& built) {
    // Names and key names first, the columns a note reads last.
    live.name.swap(built.name);
    live.keynamesmissing.swap(built.keynamesmissing);
    live.keynames.swap(built.keynames);
    live.keynamespath.swap(built.keynamespath);
    live.keynamestitle.swap(built.keynamestitle);
    live.icon.swap(built.icon);
    live.note.swap(built.note);
    live.notevel.swap(built.notevel);
    live.prog.swap(built.prog);
    live.modw.swap(built.modw);
    live.modc.swap(built.modc);
}

const OptionInfo* optionByStateKey(const char* key) {
    for (const OptionInfo& option : kOptions)
        if (std::strcmp(option.stateKey, key) == 0) return &option;
    return nullptr;
}

const OptionInfo* optionByApiKey(const char* key) {
    for (const OptionInfo& option : kOptions)
        if (std::strcmp(option.apiKey, key) == 0) return &option;
    return nullptr;
}

}  // namespace model
