#include "platform/thread_id.h"

#include <pthread.h>

namespace platform {

// Read from the thread pointer.
uint64_t currentThreadId() { return static_cast<uint64_t>(pthread_self()); }

}  // namespace platform
