// Wall-clock time for the HTTP server's time-outs, replaceable so tests can move time on
// without waiting.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970.
    virtual int64_t nowSeconds() = 0;
};

// The process's clock. Tests may install their own; nullptr restores the system clock.
Clock& wallClock();
void setWallClock(Clock* replacement);

}  // namespace platform
