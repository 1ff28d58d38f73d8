// Which thread is running, as a number: no system call and no allocation, so the note path may
// ask. (std::this_thread::get_id would make MinGW's thread library allocate a record for a
// thread it did not start, such as FL Studio's audio thread.)
#pragma once

#include <cstdint>

namespace platform {

uint64_t currentThreadId();

}  // namespace platform
