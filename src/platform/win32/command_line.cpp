#include <windows.h>
#include <shellapi.h>

#include "platform/command_line.h"
#include "platform/win32/wide.h"

namespace platform {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count != argc) {  // not the line main() was given: keep main()'s
        if (wide) LocalFree(wide);
        std::vector<std::string> out;
        for (int i = 0; i < argc; ++i) out.push_back(utf8FromAnsi(argv[i]));
        return out;
    }
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(utf8FromWide(std::wstring(wide[i])));
    LocalFree(wide);
    return out;
}

}  // namespace platform
