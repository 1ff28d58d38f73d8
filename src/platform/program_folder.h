// The folder of the running host executable: the base of the template, importer and html paths.
#pragma once

#include <string>

namespace platform {

// Paths here are UTF-8 (see platform/files.h).

// Full path of the running executable, empty when it cannot be read.
std::string executablePath();

// Full path of the module file this code was loaded from (the plugin's own file, or the
// program it is linked into), empty when it cannot be found.
std::string modulePath();

// The executable's folder, with no trailing separator.
std::string programFolder();

// Joins a folder and a relative path written with backslashes, using this platform's separator.
std::string joinProgramPath(const std::string& folder, const char* relative);

}  // namespace platform
