// The host's COM stream as the byte source and sink of the state stream. Only Read and Write
// are called; the count of bytes actually read is what tells a short state from a whole one.
// Used from the state slot only. [ui]
#pragma once

#include "model/state_stream.h"
#include "plugin/fruity_abi.h"

class HostStreamSource final : public model::ByteSource {
public:
    explicit HostStreamSource(IStream* stream) : stream_(stream) {}
    size_t read(void* buffer, size_t count) override;

private:
    IStream* stream_;
};

class HostStreamSink final : public model::ByteSink {
public:
    explicit HostStreamSink(IStream* stream) : stream_(stream) {}
    void write(const void* data, size_t count) override;

private:
    IStream* stream_;
};
