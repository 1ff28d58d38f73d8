// A wall clock that moves only when told, installed for the life of the object.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace testing_support {

class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(int64_t start = 1700000000) : now(start) { platform::setWallClock(this); }
    ~FakeClock() override { platform::setWallClock(nullptr); }
    int64_t nowSeconds() override { return now; }
    void advance(int64_t seconds) { now += seconds; }

    int64_t now;
};

}  // namespace testing_support
