// Which thread is running, as a number: read inline from the thread's own block, with no call,
// no system call and no allocation, so the note path may ask for every message. (The standard
// library's thread id would make MinGW's thread library allocate a record for a thread it did
// not start, such as FL Studio's audio thread.)
#pragma once

#include <cstdint>

#if !defined(__x86_64__)
#include <pthread.h>
#endif

namespace platform {

inline uint64_t currentThreadId() {
#if defined(_WIN32) && defined(__x86_64__)
    uint64_t id;
    asm("mov %%gs:0x48, %0" : "=r"(id));  // the thread environment block's thread id, as GetCurrentThreadId reads it
    return id;
#elif defined(__x86_64__)
    uint64_t self;
    asm("mov %%fs:0, %0" : "=r"(self));  // the thread pointer, which is pthread_self()
    return self;
#else
    return static_cast<uint64_t>(pthread_self());
#endif
}

}  // namespace platform
