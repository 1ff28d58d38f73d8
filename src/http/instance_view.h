// What the HTTP API sees of the plugin: the live instances through a narrow view, so that this
// layer needs nothing of the plugin's classes. The plugin implements both. [ui]
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/monitor.h"
#include "model/key_names.h"
#include "model/records.h"

namespace http {

struct Levels {
    int32_t volume = 0;
    int32_t pan = 0;
    int32_t pitch = 0;
};

class InstanceView {
public:
    virtual uint32_t id() const = 0;  // the API's name for the instance, unique among live ones
    virtual model::InstanceRecords& records() = 0;
    virtual Levels levels() const = 0;
    virtual bool editorVisible() const = 0;
    // After a command changed stored data: state changed and a repaint. [ui]
    virtual void changed() = 0;
    virtual void repaint() = 0;
    // After a command changed options (`before`: as they were): what the instance derives from
    // them follows, as after the editor's switches. [ui]
    virtual void optionsChanged(const model::InstanceOptions& before) = 0;
    // The articulation last switched to, as the editor highlights it. [ui]
    virtual int playingArticulation() const = 0;
    // Key names of articulation `slot`, as the editor's key-names menu changes them (the host is
    // told, the editor repaints): read from the text of a file named `fileName` that the web page
    // sent, reloaded from their file, or cleared. [ui]
    virtual void readKeyNames(int slot, std::string_view text, const std::string& fileName) = 0;
    virtual void keyNamesCommand(int slot, model::KeyNamesCommand command) = 0;
    // A trace line, written only while the instance's debug log is on.
    virtual void log(const char* line) = 0;
    virtual bool logging() const = 0;  // whether its debug log is on
    // What it sent lately, and why.
    virtual const engine::Monitor& monitor() const = 0;

protected:
    ~InstanceView() = default;
};

class InstanceDirectory {
public:
    virtual size_t count() const = 0;
    virtual InstanceView& at(size_t index) = 0;  // in creation order
    virtual InstanceView* find(uint32_t id) = 0;  // null when no live instance has that id
    // The process-wide "Show single editor" option, shared by every instance.
    virtual int32_t& singleEditor() = 0;
    // Whether every instance keeps its monitor: while the server runs, for the page. Otherwise
    // nothing is kept, and the note path does no more than it must.
    virtual void setMonitoring(bool on) = 0;

protected:
    ~InstanceDirectory() = default;
};

}  // namespace http
