// The user's folders on Linux, as the XDG user directories give them.
#include "platform/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"FOLDLNX ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr std::size_t pathSize = 4096;

// Whether path names a directory.
bool isDir(const char* path) {
    struct stat status {};
    return path != nullptr && path[0] != '\0' && stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// The value of NAME's line in user-dirs.dirs (NAME="$HOME/Folder" or
// NAME="/absolute/folder"), with $HOME expanded, into folder; false when the
// file or the line is missing or malformed.
bool userDirsLine(const char* name, const char* home, char* folder, std::size_t size) {
    char path[pathSize];
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const int n = config != nullptr && config[0] == '/'
                      ? std::snprintf(path, sizeof path, "%s/user-dirs.dirs", config)
                      : std::snprintf(path, sizeof path, "%s/.config/user-dirs.dirs", home);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof path) return false;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;
    const std::size_t nameLength = std::strlen(name);
    char line[pathSize];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, file) != nullptr) {
        const char* p = line;
        while (*p == ' ' || *p == '\t') p++;
        if (std::strncmp(p, name, nameLength) != 0 || p[nameLength] != '=' || p[nameLength + 1] != '"') continue;
        p += nameLength + 2;
        const char* end = std::strchr(p, '"');
        if (end == nullptr) continue;
        const int length = static_cast<int>(end - p);
        int written = -1;
        if (std::strncmp(p, "$HOME", 5) == 0 && (p[5] == '/' || p + 5 == end)) {
            written = std::snprintf(folder, size, "%s%.*s", home, length - 5, p + 5);
        } else if (p[0] == '/') {
            written = std::snprintf(folder, size, "%.*s", length, p);
        }
        found = written > 0 && static_cast<std::size_t>(written) < size;
    }
    std::fclose(file);
    return found;
}
}  // namespace

// The user's folder of one kind, as the XDG user directories say: $NAME, else
// NAME's line in user-dirs.dirs, else ~/CONVENTIONAL, each when it is a
// folder, else the current folder.
void SDLDPYUserDir(const char* name, const char* conventional, char* folder, std::size_t size) {
    if (folder == nullptr || size == 0 || name == nullptr || conventional == nullptr) return;
    const char* variable = std::getenv(name);
    if (isDir(variable) && std::snprintf(folder, size, "%s", variable) < static_cast<int>(size)) return;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        char candidate[pathSize];
        if (userDirsLine(name, home, candidate, sizeof candidate) && isDir(candidate) &&
            std::snprintf(folder, size, "%s", candidate) < static_cast<int>(size)) {
            return;
        }
        if (std::snprintf(candidate, sizeof candidate, "%s/%s", home, conventional) < static_cast<int>(sizeof candidate) &&
            isDir(candidate) && std::snprintf(folder, size, "%s", candidate) < static_cast<int>(size)) {
            return;
        }
    }
    if (getcwd(folder, size) == nullptr) std::snprintf(folder, size, ".");
}

// The folder a screenshot goes to.
void SDLDPYPicturesDir(char* folder, std::size_t size) { SDLDPYUserDir("XDG_PICTURES_DIR", "Pictures", folder, size); }

