#include "plugin/host_stream.h"

#include <algorithm>
#include <cstdint>

#ifdef _WIN32
#include <objidl.h>
using StreamCount = ULONG;
#else
using StreamCount = uint32_t;
#endif

namespace {
// One call moves at most this much; the state is far smaller.
constexpr size_t kLargestCall = size_t{1} << 30;
}  // namespace

size_t HostStreamSource::read(void* buffer, size_t count) {
    if (!stream_) return 0;
    StreamCount done = 0;
    stream_->Read(buffer, static_cast<StreamCount>(std::min(count, kLargestCall)), &done);
    return std::min<size_t>(done, count);
}

void HostStreamSink::write(const void* data, size_t count) {
    if (!stream_) return;
    const auto* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const size_t n = std::min(count, kLargestCall);
        stream_->Write(p, static_cast<StreamCount>(n), nullptr);
        p += n;
        count -= n;
    }
}
