// Windows, for the host folders only: the program's paths and arguments are
// UTF-8; Windows' own calls take them as UTF-16 (the narrow calls would read
// them in the local code page and miss every letter outside it).
#pragma once

#include <windows.h>

#include <string>

// The path as UTF-16, or an empty text when it is not valid UTF-8.
inline std::wstring HOSTWide(const char* utf8) {
    if (utf8 == nullptr || utf8[0] == '\0') return {};
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n) - 1);
    return wide;
}

// UTF-16 back to UTF-8 (names Windows hands out: folders, the command line).
inline std::string HOSTNarrow(const wchar_t* wide) {
    if (wide == nullptr || wide[0] == L'\0') return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(n) - 1);
    return utf8;
}
