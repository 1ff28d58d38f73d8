// The numbers of FL Studio's plugin interface: host messages, dispatcher requests, name kinds
// and parameter flags. Numbers only, no types, so that code beside the interface glue can use
// them without the interface's classes.
#pragma once

#include <cstdint>

#include "model/host_facts.h"

// Numbers of the interface: host messages, dispatcher codes, name kinds, flags.
namespace fruity {

inline constexpr int32_t kSdkVersion = 1;
inline constexpr int32_t kInfoFlags = 0x00204460;
inline constexpr int32_t kNumParams = model::kParameterCount;

// Host -> plugin (OnHostMessage ids).
enum HostMessage : intptr_t {
    kMsgShowEditor = 0,
    kMsgVoiceLevelCount = 7,
    kMsgPlayingState = 12,
    kMsgLoadFile = 18,
    kMsgSamplesPerTick = 20,
};

// Plugin -> host (HostDispatch codes).
enum HostRequest : intptr_t {
    kReqParamMenuEntry = 0,
    kReqEditorResized = 2,
    kReqNamesChanged = 3,
    kReqSetName = 10,
    kReqWantIdle = 13,
    kReqParamMenuQuery = 18,
    kReqMessageBox = 19,
    kReqHintText = 22,
    kReqSetColour = 23,
    kReqSetParamCount = 27,
    kReqGetPath = 29,
    kReqDebugLog = 45,
    kReqMainWindow = 46,
    kReqStateChanged = 48,
    kReqHideEditor = 53,
};

// Request 3's value: which names the host reads again.
enum NamesChanged : intptr_t {
    kParameterNamesChanged = 0,
    kPianoKeyNamesChanged = 2,
    kColourNamesChanged = 4,    // the note colours' names
    kPropertyNamesChanged = 5,  // the note properties' names
};

// QueryName kinds.
enum NameKind : int {
    kNameParam = 0,
    kNameParamValue = 1,
    kNamePianoKey = 2,
    kNameVoiceLevel = 4,
    kNameVoiceLevelHint = 5,
    kNameColour = 8,
    kNameColourAlt = 9,
};

// ParameterEvent flags.
enum ParamFlag : int {
    kParamUpdateValue = 1,
    kParamGetValue = 2,
    kParamShowHint = 4,
    kParamUpdateControl = 16,
    kParamFromMidi = 32,
};

}  // namespace fruity
