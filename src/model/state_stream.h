// The instance state the host keeps in projects and presets. Format 10 is the only one written;
// formats 1..10 and the layout of the "MIDI Out" plugin the module can stand in for are read.
// Nothing here knows the host: bytes come and go through ByteSource and ByteSink, and what the
// instance must tell the host after a load comes back as a LoadResult.
#pragma once

#include <cstring>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/records.h"

namespace model {

// Where a load takes its bytes from.
class ByteSource {
public:
    // Copies up to `count` bytes into `buffer` and says how many; fewer only at the end.
    virtual size_t read(void* buffer, size_t count) = 0;

protected:
    ~ByteSource() = default;
};

// A state held in memory, read from the start.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t read(void* buffer, size_t count) override {
        const size_t n = count < bytes_.size() - at_ ? count : bytes_.size() - at_;
        if (n) std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// Where a save puts its bytes.
class ByteSink {
public:
    virtual void write(const void* data, size_t count) = 0;

protected:
    ~ByteSink() = default;
};

inline constexpr int32_t kStateFormat = 10;

// What a load needs to know, and may change, beyond the instance's own records.
struct LoadContext {
    LoadContext(int32_t& singleEditorFlag, int32_t& foreignChannel)
        : singleEditor(singleEditorFlag), foreignChannelCounter(foreignChannel) {}

    int32_t& singleEditor;           // process-wide "Show single editor"
    int32_t& foreignChannelCounter;  // process-wide: channel for the next foreign state with channel 0
    bool fresh = true;               // the instance has not loaded a state yet
    bool foreignModule = false;      // the module file is installed under a "MIDI Out" name
    int32_t hostVersion = 0;
    float scale = 1.0f;              // editor scale before the load
    int editorHeight = 0;            // editor window height in pixels before the load
    // MIDI Extend from before the reset: it belongs to the port and channel, so a state that may
    // not change them keeps it too.
    int32_t midixtendBefore = 0;
};

// What the instance does after a load.
struct LoadResult {
    int32_t format = 0;  // as read; 0 when not even that was there
    // Request 27 with the count of the current layout; the articulation parameter moves to
    // `articulationIndex`.
    bool announceParameters = false;
    int articulationIndex = 128;
    // The editor takes `scale` and is resized to it (request 2).
    bool resizeEditor = false;
    float scale = 1.0f;
    // Articulations whose key names the caller reads again from their files (keynamespath):
    // the load itself opens no file.
    std::vector<int> keyNamesToReload;
};

// Writes format 10. `singleEditor` is the process-wide flag. [ui]
void SaveState(const InstanceRecords& records, int32_t singleEditor, ByteSink& sink);

// Reads any format into records that ResetToDefaults has just reset. Whatever the bytes, it
// writes nothing outside the fixed arrays and stops cleanly where the data ends. [ui]
LoadResult LoadState(InstanceRecords& records, ByteSource& source, LoadContext& context);

}  // namespace model
