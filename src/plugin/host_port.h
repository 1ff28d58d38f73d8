// The instance core's two ways to its host. The ABI glue (KRYLVSTExprPlug) implements both over
// FL Studio's host object; a test can implement them directly. Neither names a type of the
// host's interface.
#pragma once

#include <cstdint>
#include <string>

namespace plugin {

// What the user sees and what the host must be told.
class HostPort {
public:
    virtual int32_t hostVersion() const = 0;
    // A numbered request (plugin/host_codes.h) that has no operation of its own below. [ui]
    virtual intptr_t request(intptr_t code, intptr_t index, intptr_t value) = 0;
    // Message box (request 19): flags 16 error, 0 note, 52 yes/no; the answer (6 = yes). [ui]
    virtual intptr_t messageBox(const char* text, intptr_t flags) = 0;
    // The hint bar under the mouse (the host's hint operation). [audio][ui]
    virtual void showHint(const char* text) = 0;
    // A status text in the hint bar (request 22). [ui]
    virtual void statusText(const char* text) = 0;
    // The host's text prompt, pre-filled with `text`; true and the typed text when confirmed. [ui]
    virtual bool prompt(const char* caption, std::string& text) = 0;
    // Entry `n` of the host's own menu for a parameter (request 18); false after the last. [ui]
    virtual bool parameterMenuEntry(int parameter, int n, std::string& text, int& flags) = 0;
    // Request 48: stored data changed, the project is modified. [ui]
    virtual void stateChanged() = 0;
    // The host's parameter-changed operation (automation recording, linked controls). [ui]
    virtual void parameterChanged(int index, int value) = 0;
    // A trace line (request 45). [audio][ui]
    virtual void debugLine(const char* text) = 0;

protected:
    ~HostPort() = default;
};

// The engine's way out: MIDI under the instance's sender tag and the host's voices. [audio]
class MidiPort {
public:
    virtual void midiOut(uint32_t message) = 0;
    virtual intptr_t voiceQuery(intptr_t hostVoice, intptr_t code, intptr_t value) = 0;
    virtual void voiceDone(intptr_t hostVoice) = 0;

protected:
    ~MidiPort() = default;
};

}  // namespace plugin
