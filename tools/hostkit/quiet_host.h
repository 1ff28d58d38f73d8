// A host that answers nothing and remembers nothing: for an instance that lives inside a tool
// only to be painted or typed into. Override what a use needs.
#pragma once

#include <string>

#include "plugin/host_port.h"

namespace hostkit {

class QuietHost : public plugin::HostPort, public plugin::MidiPort {
public:
    virtual ~QuietHost() = default;
    int32_t hostVersion() const override { return 21000000; }
    intptr_t request(intptr_t, intptr_t, intptr_t) override { return 0; }
    intptr_t messageBox(const char*, intptr_t) override { return 0; }
    void showHint(const char*) override {}
    void statusText(const char*) override {}
    bool prompt(const char*, std::string&) override { return false; }
    bool parameterMenuEntry(int, int, std::string&, int&) override { return false; }
    void stateChanged() override {}
    void parameterChanged(int, int) override {}
    void debugLine(const char*) override {}
    void midiOut(uint32_t) override {}
    intptr_t voiceQuery(intptr_t, intptr_t, intptr_t) override { return 0; }
    void voiceDone(intptr_t) override {}
};

}  // namespace hostkit
