// The per-instance records: 64 articulations, 96 controllers in 16 pages, and the options.
// Each field is its own fixed array (structure of arrays); counts never change at run time and
// an empty articulation is a pattern of default values, not an absent record.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "model/key_name_list.h"

namespace model {

inline constexpr int kArticulationCount = 64;
inline constexpr int kBankSize = 16;  // the host's number of note colours
inline constexpr int kBankCount = 4;
inline constexpr int kControllerCount = 96;
inline constexpr int kControllerPageCount = 16;
inline constexpr int kControllersPerPage = 6;
inline constexpr int kPanelCount = 4;  // articulations, controllers, options, icon picker

// Sentinels.
inline constexpr int32_t kNone = -1;            // keyswitch, program, value, mode
inline constexpr int32_t kNoIcon = 55;
inline constexpr int32_t kUnassignedCc = 255;
inline constexpr int32_t kProgramChangeCc = 128;  // a controller that sends program changes
inline constexpr int32_t kPerColourChannel = 256;

// What `modc` says about `modw`: 0..127 is a controller number, or one of these.
inline constexpr int32_t kModCcUnset = -1;
inline constexpr int32_t kModSecondKeyswitch = -2;
inline constexpr int32_t kModPlayVelocity = -3;

// Controller `type`.
inline constexpr int32_t kKnob = 0;
inline constexpr int32_t kSwitch = 1;
inline constexpr int32_t kFader = 2;

// What an articulation is without its key names: a bank file or another program's map holds this.
struct ArticulationCore {
    std::string name;
    int32_t icon = kNoIcon;
    int32_t note = kNone;
    int32_t notevel = 127;
    int32_t prog = kNone;
    int32_t modw = kNone;
    int32_t modc = kModCcUnset;
};

// One articulation as a whole, for the clipboard, files and moves between slots.
struct Articulation : ArticulationCore {
    uint8_t keynamesmissing = 0;
    std::unique_ptr<KeyNameList> keynames;
    std::string keynamespath;
    std::string keynamestitle;
};

// One controller as a whole, for the clipboard and the editor's reads and writes.
struct Controller {
    std::string name;
    int32_t type = kKnob;
    int32_t defaultValue = 0;
    int32_t cc = kUnassignedCc;
    int32_t on = 1;
    int32_t value = 0;
    int32_t lock = 0;
};

template <typename T>
using PerArticulation = std::array<T, kArticulationCount>;
template <typename T>
using PerController = std::array<T, kControllerCount>;

struct Articulations {
    PerArticulation<std::string> name;
    PerArticulation<int32_t> icon;
    PerArticulation<int32_t> note;
    PerArticulation<int32_t> notevel;
    PerArticulation<int32_t> prog;
    PerArticulation<int32_t> modw;
    PerArticulation<int32_t> modc;
    PerArticulation<uint8_t> keynamesmissing;
    PerArticulation<std::unique_ptr<KeyNameList>> keynames;
    PerArticulation<std::string> keynamespath;
    PerArticulation<std::string> keynamestitle;
};

struct Controllers {
    PerController<std::string> name;
    PerController<int32_t> type;
    PerController<int32_t> defaultValue;  // `default` in stored formats
    PerController<int32_t> cc;
    PerController<int32_t> on;
    PerController<int32_t> value;
    PerController<int32_t> lock;
};

struct InstanceOptions {
    int32_t port = 0;
    int32_t channel = 0;  // 0..15, 0..63 with midixtend, or kPerColourChannel
    int32_t preserve = 0;
    int32_t page = 1;
    int32_t editing = 0;
    int32_t startart = 0;
    int32_t minimised = 0;
    int32_t paramknob = 0;
    int32_t oldparams = 0;
    int32_t ghost = 0;
    int32_t ghosttransport = 0;
    int32_t holdkeyswitch = 0;
    int32_t midixtend = 0;
    int32_t cctimerfix = 0;
    int32_t cc64release = 1;
    int32_t allchannelomni = 1;
    int32_t overlapping = 0;
    int32_t altmiddlec = 0;
    int32_t ccuacc = 0;
    int32_t releasecc17 = 0;
    int32_t changeanyrule = 0;
    int32_t optimiseautomation = 1;
    int32_t articbanks = 0;
    float uiscale = 0.0f;  // 0 = automatic

    // What the editor shows, as every reader takes it. A state keeps these as it read them (saved
    // again it gives the same bytes), so a damaged one may hold anything: each reads as its
    // nearest valid value. Writers store plain values.
    int panel() const { return std::clamp(page, 0, kPanelCount - 1); }
    int editingSlot() const { return std::clamp(editing, 0, kArticulationCount - 1); }
    int bankStart() const { return std::clamp(startart, 0, kArticulationCount - kBankSize) / kBankSize * kBankSize; }
};

// Controller k (0..5) of the page the editor shows from a stored `controllerstart`, or -1 where
// that place is past the last controller: the first one is `controllerstart` as its nearest valid
// value, any of 0..95 (the API may show 95 to 100, of which 96 on are nothing).
inline int shownController(int32_t controllerstart, int k) {
    const int c = std::clamp(controllerstart, 0, kControllerCount - 1) + k;
    return c < kControllerCount ? c : -1;
}
inline int shownPage(int32_t controllerstart) { return shownController(controllerstart, 0) / kControllersPerPage; }

struct InstanceRecords {
    Articulations articulations;
    Controllers controllers;
    std::array<std::string, kControllerPageCount> pageNames;
    int32_t controllerstart = 0;
    InstanceOptions options;

    int shownController(int k) const { return model::shownController(controllerstart, k); }
    int shownPage() const { return model::shownPage(controllerstart); }
};

}  // namespace model
