#include "host_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "hostkit/memory_stream.h"

namespace voxhost {

namespace {

uint64_t heldKey(int instance, int track, int colour, int key) {
    return uint64_t(uint32_t(instance)) << 32 | uint64_t(uint32_t(track) & 0xFFFF) << 16 |
           uint64_t(uint32_t(colour) & 0xFF) << 8 | uint64_t(uint32_t(key) & 0xFF);
}

const char* requestName(intptr_t code) {
    switch (code) {
    case fruity::kReqSetName: return "name";
    case fruity::kReqHintText: return "status";
    case fruity::kReqMessageBox: return "message";
    default: return nullptr;
    }
}

}  // namespace

HostSession::HostSession(hostkit::PluginModule& module, bool verbose, double sampleRate)
    : module_(module), verbose_(verbose), sampleRate_(sampleRate) {
    host_.HostVersion = 21000000;
    host_.programPath = hostkit::executableFolder();
}

HostSession::~HostSession() {
    for (TFruityPlug* plug : plugs_) plug->DestroyObject();
}

TFruityPlug* HostSession::addInstance() {
    TFruityPlug* plug = module_.create()(&host_, static_cast<TPluginTag>(plugs_.size() + 1));
    if (!plug) {
        error_ = "CreatePlugInstance returned no instance";
        return nullptr;
    }
    plugs_.push_back(plug);
    // FL Studio reports its channel's pan and volume to a new instance: centre, and 100.
    plug->ProcessEvent(2, 64, 0);
    plug->ProcessEvent(3, 100, 0);
    collect(static_cast<int>(plugs_.size()) - 1);
    report();
    return plug;
}

bool HostSession::dropFile(int instance, const std::string& path) {
    const size_t boxesBefore = host_.dispatchesWithCode(fruity::kReqMessageBox).size();
    std::string dropped = path;
#ifdef _WIN32
    // FL Studio hands over Windows paths, and the plugin names the file after the last backslash.
    std::replace(dropped.begin(), dropped.end(), '/', '\\');
#endif
    plugs_[size_t(instance)]->Dispatcher(fruity::kMsgLoadFile, 0, reinterpret_cast<intptr_t>(dropped.c_str()));
    report();
    const auto boxes = host_.dispatchesWithCode(fruity::kReqMessageBox);
    // Errors come in boxes with flag 16; so does the count of an instrument import, which is not one.
    for (size_t i = boxesBefore; i < boxes.size(); ++i)
        if (boxes[i].value == 16 && boxes[i].text.rfind("Imported ", 0) != 0) return false;
    return true;
}

void HostSession::loadState(int instance, const std::vector<uint8_t>& bytes) {
    hostkit::MemoryStream stream(bytes);
    plugs_[size_t(instance)]->SaveRestoreState(&stream, 0);
    report();
}

std::vector<uint8_t> HostSession::saveState(int instance) {
    hostkit::MemoryStream stream;
    plugs_[size_t(instance)]->SaveRestoreState(&stream, 1);
    return stream.data;
}

void HostSession::setTempo(double bpm) {
    if (!(bpm > 0.0)) return;
    const float samplesPerTick = static_cast<float>(sampleRate_ * 60.0 / (bpm * kHostTicksPerQuarter));
    uint32_t bits;
    std::memcpy(&bits, &samplesPerTick, sizeof bits);
    for (TFruityPlug* plug : plugs_) plug->Dispatcher(fruity::kMsgSamplesPerTick, 0, static_cast<intptr_t>(bits));
}

void HostSession::transport(intptr_t state) {
    for (size_t i = 0; i < plugs_.size(); ++i) {
        plugs_[i]->Dispatcher(fruity::kMsgPlayingState, 0, state);
        collect(static_cast<int>(i));
    }
    killDoneVoices();
    report();
}

float HostSession::levelForVelocity(int velocity) {
    if (velocity < 1) velocity = 1;
    if (velocity > 127) velocity = 127;
    // The plugin computes 127 ln(1 + 10 L) / ln 21 and truncates: aim at the middle of the step.
    return static_cast<float>((std::pow(21.0, (velocity + 0.5) / 127.0) - 1.0) / 10.0);
}

void HostSession::noteOn(int instance, int track, int colour, int key, int velocity) {
    TVoiceParams params{};
    params.InitLevels.Vol = params.FinalLevels.Vol = levelForVelocity(velocity);
    params.InitLevels.Pitch = params.FinalLevels.Pitch = static_cast<float>((key - 60) * 100);
    const intptr_t hostVoice = nextHostVoice_++;
    host_.voiceColour[hostVoice] = colour & 15;
    const intptr_t handle = plugs_[size_t(instance)]->TriggerVoice(&params, hostVoice);
    // Only a note that switched needs its articulation's name.
    const size_t fresh = host_.midi.size() - midiSeen_;
    const bool noteWentOut = fresh > 0 && (host_.midi.back().raw & 0xFFF0) == (0x90u | uint32_t(key & 0x7F) << 8);
    collect(instance, fresh > (noteWentOut ? 1u : 0u) ? keep(articulationName(instance, colour & 15)) : "",
            noteWentOut);
    if (handle) {
        voices_[hostVoice] = {instance, handle};
        held_[heldKey(instance, track, colour, key)].push_back(hostVoice);
    } else {
        host_.voiceColour.erase(hostVoice);
    }
    killDoneVoices();
}

void HostSession::noteOff(int instance, int track, int colour, int key, int velocity) {
    auto it = held_.find(heldKey(instance, track, colour, key));
    if (it == held_.end() || it->second.empty()) return;
    const intptr_t hostVoice = it->second.front();  // the oldest note on the key ends first
    it->second.erase(it->second.begin());
    if (it->second.empty()) held_.erase(it);
    const auto voice = voices_.find(hostVoice);
    if (voice == voices_.end()) return;
    // The note-off's velocity is what the plugin asks the host for as the release velocity.
    if (velocity > 0) host_.releaseVelocity[hostVoice] = static_cast<float>(velocity) / 127.0f;
    plugs_[size_t(instance)]->Voice_Release(voice->second.handle);
    collect(instance);
    killDoneVoices();
}

void HostSession::releaseAll(int track) {
    std::vector<uint64_t> keys;
    for (const auto& held : held_)
        if (track < 0 || int((held.first >> 16) & 0xFFFF) == (track & 0xFFFF)) keys.push_back(held.first);
    std::sort(keys.begin(), keys.end());
    for (const uint64_t k : keys) {
        // A key struck several times ends each of its notes.
        while (held_.count(k)) noteOff(int(k >> 32), int((k >> 16) & 0xFFFF), int((k >> 8) & 0xFF), int(k & 0xFF));
    }
}

void HostSession::tick() {
    for (size_t i = 0; i < plugs_.size(); ++i) {
        plugs_[i]->NewTick();
        collect(static_cast<int>(i));
    }
    killDoneVoices();
}

void HostSession::periodic() {
    for (TFruityPlug* plug : plugs_) plug->Idle_Public();
    report();
}

// Takes the MIDI the instance sent since the last look. During a note's start, everything but
// the note itself is a switch of the note's articulation.
void HostSession::collect(int instance, const char* cause, bool lastIsTheNote) {
    const size_t end = host_.midi.size();
    const size_t noteOnAt = lastIsTheNote && end > midiSeen_ ? end - 1 : end;
    for (size_t i = midiSeen_; i < end; ++i) {
        const hostkit::MidiEvent& m = host_.midi[i];
        const bool isSwitch = *cause && i != noteOnAt && !((m.raw & 0xF0) == 0xB0 && ((m.raw >> 8) & 0xFF) == 17);
        sent_.push_back({m.clock, instance, m.raw, isSwitch ? cause : ""});
    }
    // Taken records are not looked at again; dropping them keeps a long song's memory flat.
    host_.midi.clear();
    midiSeen_ = 0;
    host_.voiceQueries.clear();
}

const char* HostSession::keep(const std::string& cause) { return causes_.insert(cause).first->c_str(); }

// Voices the plugin reported done are killed, as FL Studio does once a voice has finished.
void HostSession::killDoneVoices() {
    while (doneSeen_ < host_.voicesDone.size()) {
        const intptr_t hostVoice = host_.voicesDone[doneSeen_++].hostVoice;
        const auto it = voices_.find(hostVoice);
        if (it == voices_.end()) continue;
        const Voice v = it->second;
        voices_.erase(it);
        plugs_[size_t(v.instance)]->Voice_Kill(v.handle);
        host_.voiceColour.erase(hostVoice);
        host_.releaseVelocity.erase(hostVoice);
        collect(v.instance);
    }
    host_.voicesDone.clear();
    doneSeen_ = 0;
}

// Shows what the plugin told the host: names, message boxes, status texts, hints, and with
// --verbose its debug lines.
void HostSession::report() {
    for (; dispatchSeen_ < host_.dispatches.size(); ++dispatchSeen_) {
        const hostkit::DispatchCall& d = host_.dispatches[dispatchSeen_];
        if (d.code == fruity::kReqDebugLog) {
            if (verbose_) std::printf("  [%lld] debug: %s\n", static_cast<long long>(d.sender), d.text.c_str());
            continue;
        }
        const char* name = requestName(d.code);
        if (name) std::printf("  [%lld] %s: %s\n", static_cast<long long>(d.sender), name, d.text.c_str());
        else if (verbose_)
            std::printf("  [%lld] request %lld (%lld, %lld)\n", static_cast<long long>(d.sender),
                        static_cast<long long>(d.code), static_cast<long long>(d.index), static_cast<long long>(d.value));
    }
    for (; hintsSeen_ < host_.hints.size(); ++hintsSeen_) std::printf("  hint: %s\n", host_.hints[hintsSeen_].c_str());
}

std::string HostSession::articulationName(int instance, int colour) {
    char text[256] = {};
    plugs_[size_t(instance)]->GetName(fruity::kNameColour, colour, 0, text);
    if (text[0]) return text;
    return "colour " + std::to_string(colour + 1);
}

}  // namespace voxhost
