#include "platform/win32/wide.h"

#include <windows.h>

#include "platform/files.h"

namespace platform {

namespace {

std::wstring widen(UINT codePage, DWORD flags, const char* text, int length) {
    const int n = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, text, length, &out[0], n);
    return out;
}

}  // namespace

bool wideFromUtf8(const std::string& utf8, std::wstring& out) {
    out.clear();
    if (utf8.empty()) return true;
    if (!isValidUtf8(utf8)) return false;
    out = widen(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()));
    return !out.empty();
}

std::wstring wideFromUtf8(const std::string& utf8) {
    std::wstring out;
    wideFromUtf8(utf8, out);
    return out;
}

std::string utf8FromWide(const wchar_t* text, size_t length) {
    if (!text || length == 0) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

std::string utf8FromWide(const std::wstring& text) { return utf8FromWide(text.data(), text.size()); }

std::string utf8FromAnsi(const std::string& text) {
    if (text.empty()) return std::string();
    return utf8FromWide(widen(CP_ACP, 0, text.data(), static_cast<int>(text.size())));
}

}  // namespace platform
