// UTF-8 <-> UTF-16 at the Windows system calls; see platform/files.h for the rule.
#pragma once

#include <string>

namespace platform {

// False, with `out` empty, when `utf8` is not valid UTF-8 (it then names nothing).
bool wideFromUtf8(const std::string& utf8, std::wstring& out);
std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const wchar_t* text, size_t length);
std::string utf8FromWide(const std::wstring& text);
// Text in the ANSI code page of the process, in UTF-8.
std::string utf8FromAnsi(const std::string& text);

// The UTF-8 path of a loaded module (an HMODULE; null: the running executable), empty when it
// cannot be read.
std::string moduleFileName(void* module);

}  // namespace platform
