#include "plugin/host_parameters.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/midi_message.h"
#include "plugin/host_codes.h"
#include "model/host_facts.h"
#include "model/key_names.h"
#include "model/uacc_catalog.h"
#include "model/utf8.h"

namespace {

constexpr int kControllerPageTab = 1;

constexpr size_t kTextSize = HostParameters::kNameBufferSize;

// Host values 0 and 1 mean "by voice colour"; articulation a starts at ceil(127 a / 64).
// Unsigned, so a negative host value lands on the last articulation, never before the first.
int articulationOfValue(int value) {
    const uint32_t a = static_cast<uint32_t>(value) * 64u / 127u;
    return a > 64u ? 64 : static_cast<int>(a);
}

// Copies `source` into the host's buffer; a text that does not fit loses whole UTF-8
// characters only.
void putText(char* text, std::string_view source) { model::copyUtf8(text, kTextSize, source.data(), source.size()); }

}  // namespace

HostParameters::HostParameters(model::InstanceRecords& records, engine::Session& session, ParameterHost& host)
    : records_(records), session_(session), host_(host) {}

void HostParameters::resetForConstruction() {
    articulationIndex_ = kControllerNumberArticulationIndex;
    session_.articulationParameter = 0;
}

void HostParameters::layoutChanged() {
    articulationIndex_ = namedLayout() ? kNamedArticulationIndex : kControllerNumberArticulationIndex;
}

int HostParameters::ParameterEvent(int index, int value, int flags) {
    if (flags & fruity::kParamFromMidi) value = static_cast<int>(static_cast<float>(value) * 0.0019378662109375f);
    if (index < 0 || index >= kParameterCount) return value;

    if (flags & fruity::kParamUpdateValue) {
        if (!namedLayout()) {
            // The articulation parameter stands for no controller number: running the
            // automation rule for it would let a program-change controller (cc 128) send the
            // articulation value as a program.
            if (index != articulationIndex_) {
                const int c = index + offset();
                session_.automateControllerNumber(c, value, c);
            }
        } else if (index < model::kControllerCount) {
            setNamedController(index, value);
        }
        if (index == articulationIndex_) selectArticulation(value);
        if (flags & fruity::kParamShowHint) {
            char hint[16];
            std::snprintf(hint, sizeof hint, "%d", static_cast<int>(int64_t{value} * 100 / 127));
            host_.showHint(hint);
        }
    }

    if ((flags & fruity::kParamUpdateControl) && host_.editorVisible() && records_.options.panel() == kControllerPageTab &&
        (index >= articulationIndex_ || showsOnControllerPage(index)))
        host_.repaintEditor();

    if (flags & fruity::kParamGetValue) {
        const model::Controllers& ctl = records_.controllers;
        const int c = index + offset();
        for (int i = 0; i < model::kControllerCount; ++i)
            if (ctl.cc[i] == c) return ctl.value[i];
    }
    return value;
}

void HostParameters::setNamedController(int index, int value) {
    model::Controllers& ctl = records_.controllers;
    const int cc = ctl.cc[index];
    if (cc == model::kUnassignedCc || ctl.lock[index]) return;
    ctl.value[index] = value;
    const model::InstanceOptions& o = records_.options;
    if (cc >= model::kProgramChangeCc) session_.send(engine::programChange(o.port, o.channel, value));
    else session_.send(engine::controlChange(o.port, o.channel, cc, value));
}

void HostParameters::selectArticulation(int value) {
    const int a = articulationOfValue(value);
    session_.articulationParameter = a;
    if (a == 0) return;
    if (session_.Session_CheckArticulation(a - 1) != 0) {
        session_.currentArticulation = a - 1;
        host_.repaintEditor();
    }
}

bool HostParameters::showsOnControllerPage(int index) const {
    const model::Controllers& ctl = records_.controllers;
    for (int k = 0; k < model::kControllersPerPage; ++k) {
        const int i = records_.shownController(k);
        if (i < 0) break;
        if (namedLayout() ? i == index : ctl.cc[i] == index + offset()) return true;
    }
    return false;
}

void HostParameters::QueryName(int kind, int index, int value, char* text) {
    if (!text) return;
    const bool banks = records_.options.articbanks != 0;
    switch (kind) {
    case fruity::kNameParam: parameterName(index, text); break;
    case fruity::kNameParamValue: valueText(index, value, text); break;
    case fruity::kNamePianoKey: keyName(index, value, text); break;
    case fruity::kNameVoiceLevel:
    case fruity::kNameVoiceLevelHint:
        if (index == 0) std::snprintf(text, kTextSize, "%s", banks ? "Articulation Bank" : "Unsupported parameter 1");
        else if (index == 1) std::snprintf(text, kTextSize, "%s", banks ? "Unused parameter" : "Unsupported parameter 1");
        break;
    case fruity::kNameColour:
    case fruity::kNameColourAlt: colourName(index, text); break;
    default: break;
    }
}

void HostParameters::parameterName(int index, char* text) const {
    const model::Controllers& ctl = records_.controllers;
    if (index == articulationIndex_) {
        std::snprintf(text, kTextSize, "Articulation");
    } else if (namedLayout()) {
        if (index >= model::kControllerCount) std::snprintf(text, kTextSize, "Unused controller");
        else if (index < 0) return;
        else if (ctl.cc[index] == model::kUnassignedCc) std::snprintf(text, kTextSize, "Unused parameter %i", index + 1);
        else if (ctl.name[index].empty()) std::snprintf(text, kTextSize, "Unnamed parameter %i", index + 1);
        else putText(text, ctl.name[index]);
    } else {
        const int c = index + offset();
        const std::string* name = nullptr;
        for (int i = 0; i < model::kControllerCount; ++i)
            if (ctl.cc[i] == c && !ctl.name[i].empty()) name = &ctl.name[i];
        if (name) putText(text, *name);
        else std::snprintf(text, kTextSize, "CC %i", c);
    }
}

void HostParameters::valueText(int index, int value, char* text) const {
    const model::Controllers& ctl = records_.controllers;
    const bool uacc = records_.options.ccuacc != 0 &&
                      (namedLayout() ? index >= 0 && index < model::kControllerCount && ctl.cc[index] == model::kUaccCc
                                     : index == model::kUaccCc);
    if (uacc) {
        model::UaccArticulationName(value, text, kTextSize);
    } else if (index >= articulationIndex_) {
        const int a = articulationOfValue(value);
        if (a == 0) std::snprintf(text, kTextSize, "By voice colour");
        else if (records_.articulations.name[a - 1].empty()) std::snprintf(text, kTextSize, "Articulation %i", a);
        else putText(text, records_.articulations.name[a - 1]);
    } else if (namedLayout()) {
        std::snprintf(text, kTextSize, "%i", value);
    } else {
        std::snprintf(text, kTextSize, "CC %i: %i", index, value);
    }
}

void HostParameters::keyName(int key, int colour, char* text) {
    int articulation = colour + model::kBankSize * session_.currentBank;
    if (articulation >= 128) articulation = 0;
    const int32_t version = host_.hostVersion();
    if (model::colourlessKeyQuery(version)) articulation = session_.currentArticulation;
    host_.keyNamesQueried(articulation);

    // 64..127 are colours of banks that do not exist and name nothing.
    if (const char* name = model::keyNameOf(records_.articulations, articulation, key)) putText(text, name);
}

void HostParameters::colourName(int colour, char* text) const {
    if (colour < 0 || colour >= model::kBankSize) return;
    const int articulation = colour + model::kBankSize * session_.currentBank;
    if (articulation < 0 || articulation >= model::kArticulationCount) return;
    putText(text, records_.articulations.name[articulation]);
}
