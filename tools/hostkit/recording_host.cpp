#include "hostkit/recording_host.h"

#include <cstdio>
#include <cstring>

namespace hostkit {

namespace {

// Dispatcher codes whose value (or, for 19, index) points at a text.
const char* carriedText(intptr_t code, intptr_t index, intptr_t value) {
    switch (code) {
    case fruity::kReqSetName:
    case fruity::kReqHintText:
    case fruity::kReqDebugLog: return reinterpret_cast<const char*>(value);
    case fruity::kReqMessageBox: return reinterpret_cast<const char*>(index);
    default: return nullptr;
    }
}

}  // namespace

std::string describeMidi(uint32_t raw) {
    const int status = raw & 0xFF, d1 = (raw >> 8) & 0xFF, d2 = (raw >> 16) & 0xFF, port = raw >> 24;
    char head[32];
    std::snprintf(head, sizeof head, "port %d ch %d ", port, status & 0x0F);
    char body[48];
    switch (status & 0xF0) {
    case 0x80: std::snprintf(body, sizeof body, "note-off %d %d", d1, d2); break;
    case 0x90: std::snprintf(body, sizeof body, "note-on %d %d", d1, d2); break;
    case 0xA0: std::snprintf(body, sizeof body, "aftertouch %d %d", d1, d2); break;
    case 0xB0: std::snprintf(body, sizeof body, "cc %d %d", d1, d2); break;
    case 0xC0: std::snprintf(body, sizeof body, "program %d", d1); break;
    case 0xE0: std::snprintf(body, sizeof body, "bend %d", d1 | d2 << 7); break;
    default: std::snprintf(body, sizeof body, "raw %02X %02X %02X", status, d1, d2); break;
    }
    return std::string(head) + body;
}

std::string MidiEvent::describe() const { return describeMidi(raw); }

RecordingHost::RecordingHost() { HostVersion = 21000000; }

void RecordingHost::clear() {
    midi.clear();
    dispatches.clear();
    hints.clear();
    paramChanges.clear();
    voicesDone.clear();
    voiceQueries.clear();
    prompts.clear();
    promptPrefills.clear();
}

std::vector<DispatchCall> RecordingHost::dispatchesWithCode(intptr_t code) const {
    std::vector<DispatchCall> out;
    for (const auto& d : dispatches)
        if (d.code == code) out.push_back(d);
    return out;
}

std::vector<std::string> RecordingHost::midiDescribed() const {
    std::vector<std::string> out;
    for (const auto& m : midi) out.push_back(m.describe());
    return out;
}

std::vector<std::string> RecordingHost::debugLines() const {
    std::vector<std::string> out;
    for (const auto& d : dispatchesWithCode(fruity::kReqDebugLog)) out.push_back(d.text);
    return out;
}

int RecordingHost::colourOf(intptr_t hostVoice) const {
    const auto it = voiceColour.find(hostVoice);
    return it == voiceColour.end() ? 0 : it->second;
}

intptr_t RecordingHost::Dispatcher(TPluginTag sender, intptr_t id, intptr_t index, intptr_t value) {
    DispatchCall call{sender, id, index, value, {}};
    if (const char* text = carriedText(id, index, value)) call.text = text;
    dispatches.push_back(call);
    if (onDispatch) return onDispatch(call);
    switch (id) {
    case fruity::kReqGetPath: return reinterpret_cast<intptr_t>(programPath.c_str());
    case fruity::kReqMainWindow: return mainWindow;
    case fruity::kReqMessageBox: return messageBoxAnswer;
    case fruity::kReqParamMenuQuery: {
        if (value < 0 || size_t(value) >= parameterMenu.size()) return 0;
        static TParamMenuEntry entry;
        entry.Name = parameterMenu[size_t(value)].first.data();
        entry.Flags = parameterMenu[size_t(value)].second;
        return reinterpret_cast<intptr_t>(&entry);
    }
    default: return 0;
    }
}

void RecordingHost::OnParamChanged(TPluginTag, int index, int value) { paramChanges.emplace_back(index, value); }

void RecordingHost::OnHint(TPluginTag, char* text) { hints.emplace_back(text ? text : ""); }

void RecordingHost::Voice_Kill(intptr_t hostVoice, BOOL killHandle) { voicesDone.push_back({hostVoice, killHandle}); }

int RecordingHost::Voice_ProcessEvent(intptr_t hostVoice, intptr_t code, intptr_t, intptr_t) {
    voiceQueries.emplace_back(hostVoice, code);
    switch (code) {
    case 2: return colourOf(hostVoice);
    case 4: {
        const auto it = releaseVelocity.find(hostVoice);
        const float v = it == releaseVelocity.end() ? defaultReleaseVelocity : it->second;
        int32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    default: return 0;
    }
}

void RecordingHost::MIDIOut_Delayed(TPluginTag sender, intptr_t msg) {
    midi.push_back({sender, static_cast<uint32_t>(msg), clock});
}

void RecordingHost::MIDIOut(TPluginTag sender, intptr_t msg) { MIDIOut_Delayed(sender, msg); }

BOOL RecordingHost::PromptEdit(int, int, char* caption, char* text, int&) {
    prompts.emplace_back(caption ? caption : "");
    promptPrefills.emplace_back(text ? text : "");
    if (!promptConfirms) return 0;
    std::snprintf(text, 256, "%s", promptAnswer.c_str());
    return 1;
}

}  // namespace hostkit
