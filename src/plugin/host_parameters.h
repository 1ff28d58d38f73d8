// The parameters the instance publishes to the host and every name the host asks it for:
// parameter names, value texts, piano-roll key names, note-colour and note-property names.
//
// Two layouts, chosen by `paramknob`: off, parameters 0..127 stand for controller numbers
// (index + `oldparams`) and 128 is the articulation parameter; on, parameters 0..95 are the
// 96 controllers in order, 96 is the articulation parameter and 97..128 are unused.
#pragma once

#include <cstdint>

#include "engine/session.h"
#include "model/host_facts.h"
#include "model/records.h"

// What the parameters need from the host. The plugin class implements it over the host object.
class ParameterHost {
public:
    virtual void showHint(const char* text) = 0;  // the host's hint bar [audio][ui]
    virtual void repaintEditor() = 0;             // [audio][ui]
    virtual bool editorVisible() const = 0;
    virtual int32_t hostVersion() const = 0;   // e.g. 12000000 for version 12
    // The host asked the piano roll's key names for `articulation` (0..127). [ui]
    virtual void keyNamesQueried(int articulation) = 0;

protected:
    ~ParameterHost() = default;
};

class HostParameters {
public:
    static constexpr int kParameterCount = model::kParameterCount;
    static constexpr int kNamedLayoutCount = model::kNamedLayoutCount;
    static constexpr int kControllerNumberArticulationIndex = model::kControllerNumberArticulationIndex;
    static constexpr int kNamedArticulationIndex = model::kNamedArticulationIndex;
    static constexpr int kNameBufferSize = 256;  // the host's text buffer for QueryName

    HostParameters(model::InstanceRecords& records, engine::Session& session, ParameterHost& host);

    // The state of a newly constructed instance: controller-number layout, "by voice colour". [ui]
    void resetForConstruction();

    // Follows `paramknob` after the editor or a state restore changed it; the caller tells the
    // host the new count (request 27). [ui]
    void layoutChanged();

    // Host entry slot 6: sets, reads and shows parameter `index`. Returns the value as the
    // host expects it back. [audio][ui]
    int ParameterEvent(int index, int value, int flags);

    // Host entry slot 4: writes the text the host asked for into `text` (256 bytes), or leaves
    // it untouched when there is nothing to say. [ui]
    void QueryName(int kind, int index, int value, char* text);

    int articulationIndex() const { return articulationIndex_; }
    // Older states put the articulation parameter elsewhere than the layout's own index. [ui]
    void setArticulationIndex(int index) { articulationIndex_ = index; }
    // How many parameters the current layout uses (the value of request 27).
    int parameterCountInUse() const {
        return records_.options.paramknob ? kNamedLayoutCount : kParameterCount;
    }

private:
    bool namedLayout() const { return records_.options.paramknob != 0; }
    int offset() const { return records_.options.oldparams; }
    void setNamedController(int index, int value);
    void selectArticulation(int value);
    bool showsOnControllerPage(int index) const;

    void parameterName(int index, char* text) const;
    void valueText(int index, int value, char* text) const;
    void keyName(int key, int colour, char* text);
    void colourName(int colour, char* text) const;

    model::InstanceRecords& records_;
    engine::Session& session_;
    ParameterHost& host_;
    int articulationIndex_ = kControllerNumberArticulationIndex;
};
