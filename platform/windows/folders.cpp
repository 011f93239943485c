// Windows: the user's folders are Windows' Known Folders (Pictures for F12,
// Videos for F9), wherever the user moved them. Paths are UTF-8.
#include "platform/folders.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/windows/text.h"
#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINFOLD ", "20261210", "Tordeval", "C++     ", "CODE    "};

bool isDir(const std::wstring& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Copies a UTF-16 folder into folder as UTF-8; false when it does not fit.
bool put(const std::wstring& wide, char* folder, std::size_t size) {
    const std::string utf8 = HOSTNarrow(wide.c_str());
    if (utf8.empty() || utf8.size() >= size) return false;
    std::memcpy(folder, utf8.c_str(), utf8.size() + 1);
    return true;
}

// The Known Folder of a kind named as on Linux (XDG_PICTURES_DIR,
// XDG_VIDEOS_DIR); empty when Windows has none.
std::wstring knownFolder(const char* name) {
    const KNOWNFOLDERID* id = std::strcmp(name, "XDG_VIDEOS_DIR") == 0     ? &FOLDERID_Videos
                              : std::strcmp(name, "XDG_PICTURES_DIR") == 0 ? &FOLDERID_Pictures
                                                                          : nullptr;
    if (id == nullptr) return {};
    PWSTR path = nullptr;
    std::wstring found;
    if (SHGetKnownFolderPath(*id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK && path != nullptr) found = path;
    CoTaskMemFree(path);
    return found;
}
}  // namespace

// The user's folder of one kind: the variable NAME when it names a folder
// (as on Linux), else Windows' Known Folder, else the current folder.
// conventional is Linux's fallback name, which Windows does not need.
void SDLDPYUserDir(const char* name, const char* conventional, char* folder, std::size_t size) {
    if (folder == nullptr || size == 0 || name == nullptr || conventional == nullptr) return;
    const char* variable = std::getenv(name);
    if (variable != nullptr && isDir(HOSTWide(variable)) && std::strlen(variable) < size) {
        std::memcpy(folder, variable, std::strlen(variable) + 1);
        return;
    }
    const std::wstring known = knownFolder(name);
    if (isDir(known) && put(known, folder, size)) return;
    wchar_t here[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, here);
    if (n == 0 || n >= MAX_PATH || !put(here, folder, size)) std::snprintf(folder, size, ".");
}

void SDLDPYPicturesDir(char* folder, std::size_t size) { SDLDPYUserDir("XDG_PICTURES_DIR", "Pictures", folder, size); }
