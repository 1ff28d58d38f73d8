// The instance's switchable options, each in one row: its key in stored states, its name in
// the HTTP API, its label in the editor's options panel, its default and the first state
// format that stores it. The state stream, the API, `state dump` and the editor's options
// panel all read this table, so an option is added or renamed in one place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/records.h"

namespace model {

enum class OptionKind {
    kFlag,         // a field of InstanceOptions, 0 or 1
    kInverted,     // shown and named in the API as the inverse of its field
    kProcessWide,  // one value for every instance (the single-editor flag)
};

struct OptionInfo {
    const char* stateKey;
    const char* apiKey;
    const char* label;
    OptionKind kind;
    int32_t InstanceOptions::*field;  // null for the process-wide option
    int32_t defaultValue;
    // First state format whose load takes the low bit of the stored value as it is; 0 for the
    // options that a load treats by rules of their own (port/channel preservation, layouts).
    int32_t plainFromFormat;
    bool keptByReset;  // "Preserve Port/Channel" survives a reset to defaults
};

// In the order of the API's "options" object and of the editor's options panel.
inline constexpr OptionInfo kOptions[] = {
    {"midixtend", "midiextend", "MIDI Extend", OptionKind::kFlag, &InstanceOptions::midixtend, 0, 0, false},
    {"ghost", "ccghosting", "CC Ghosting", OptionKind::kFlag, &InstanceOptions::ghost, 0, 8, false},
    {"ghosttransport", "ccghostontransport", "Only Ghost transport", OptionKind::kFlag,
     &InstanceOptions::ghosttransport, 0, 10, false},
    {"holdkeyswitch", "holdkeyswitch", "Hold KS momentarily", OptionKind::kFlag, &InstanceOptions::holdkeyswitch, 0,
     10, false},
    {"cctimerfix", "cctimingfix", "Kontakt CC timing fix", OptionKind::kFlag, &InstanceOptions::cctimerfix, 0, 8,
     false},
    {"allchannelomni", "allchannelomni", "All channel CC in omni", OptionKind::kFlag, &InstanceOptions::allchannelomni,
     1, 8, false},
    {"cc64release", "cc64release", "Release CC64 on stop", OptionKind::kFlag, &InstanceOptions::cc64release, 1, 8,
     false},
    {"preserve", "preserveport", "Preserve Port/Channel", OptionKind::kFlag, &InstanceOptions::preserve, 0, 0, true},
    {"releasecc17", "releasetocc117", "Rls. velocity to CC17", OptionKind::kFlag, &InstanceOptions::releasecc17, 0, 9,
     false},
    {"changeanyrule", "resetstate", "Reset state on switch", OptionKind::kFlag, &InstanceOptions::changeanyrule, 0, 9,
     false},
    {"ccuacc", "showuacc", "Show UACC on CC32", OptionKind::kFlag, &InstanceOptions::ccuacc, 0, 8, false},
    {"paramknob", "parameterccs", "Parameters control CC", OptionKind::kInverted, &InstanceOptions::paramknob, 0, 0,
     false},
    {"overlapping", "allowoverlap", "Allow overlapping notes", OptionKind::kFlag, &InstanceOptions::overlapping, 0, 9,
     false},
    {"altmiddlec", "altmiddlec", "Alternative Middle C", OptionKind::kFlag, &InstanceOptions::altmiddlec, 0, 9, false},
    {"optimiseautomation", "optimiseauto", "Optimise automation", OptionKind::kFlag,
     &InstanceOptions::optimiseautomation, 1, 9, false},
    {"singleeditor", "showsingle", "Show single editor", OptionKind::kProcessWide, nullptr, 1, 0, false},
    {"articbanks", "articbanks", "Multiple artic. banks", OptionKind::kFlag, &InstanceOptions::articbanks, 0, 0,
     false},
};
inline constexpr size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

// The stored value of an option; `singleEditor` is the process-wide flag.
inline int32_t optionValue(const OptionInfo& option, const InstanceOptions& o, int32_t singleEditor) {
    return option.field ? o.*option.field : singleEditor;
}

// Whether the option's check box is ticked (and its API value true).
inline bool optionTicked(const OptionInfo& option, const InstanceOptions& o, int32_t singleEditor) {
    const bool set = optionValue(option, o, singleEditor) != 0;
    return option.kind == OptionKind::kInverted ? !set : set;
}

// Ticks or clears the option's check box.
inline void setOptionTicked(const OptionInfo& option, InstanceOptions& o, int32_t& singleEditor, bool ticked) {
    const int32_t value = (option.kind == OptionKind::kInverted) != ticked ? 1 : 0;
    if (option.field) o.*option.field = value;
    else singleEditor = value;
}

// The row of a stored-state key or of an API name; null when there is none.
const OptionInfo* optionByStateKey(const char* key);
const OptionInfo* optionByApiKey(const char* key);

}  // namespace model
