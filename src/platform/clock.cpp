#include "platform/clock.h"

#include <ctime>

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    int64_t nowSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
};

Clock* gInstalled = nullptr;

}  // namespace

Clock& wallClock() {
    static SystemClock system;
    return gInstalled ? *gInstalled : system;
}

void setWallClock(Clock* replacement) { gInstalled = replacement; }

}  // namespace platform
