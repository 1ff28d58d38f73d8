#include "platform/thread_id.h"

#include <windows.h>

namespace platform {

// Read from the thread's own block.
uint64_t currentThreadId() { return GetCurrentThreadId(); }

}  // namespace platform
