// A program's command line in UTF-8, whatever the system hands to main().
#pragma once

#include <string>
#include <vector>

namespace platform {

// Every argument of main(), the program's name first. On Windows they are read again from the
// wide command line: main()'s own are in the ANSI code page and lose what it cannot spell.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace platform
