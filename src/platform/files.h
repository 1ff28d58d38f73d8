// Paths inside the program are UTF-8; this is where they meet the file system.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

std::FILE* openFile(const std::string& utf8Path, const char* mode);

}  // namespace platform
