#include "platform/program_folder.h"

namespace platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

std::string programFolder() {
    const std::string path = executablePath();
    const size_t cut = path.find_last_of(kSeparator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string joinProgramPath(const std::string& folder, const char* relative) {
    std::string out = folder;
    out += kSeparator;
    for (const char* p = relative; *p; ++p) out += (*p == '\\' || *p == '/') ? kSeparator : *p;
    return out;
}

}  // namespace platform
