// Windows: library chatter held back while SDL looks for a display or a sound
// device, as on Linux; VELM4023_LIBRARY_MESSAGES=1 lets the libraries speak.
// Standard error goes to NUL in between.
#include "platform/quiet.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINQUIET", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr int stderrNumber = 2;

bool librariesMaySpeak() {
    const char* asked = std::getenv("VELM4023_LIBRARY_MESSAGES");
    return asked != nullptr && asked[0] != '\0' && std::strcmp(asked, "0") != 0;
}
}  // namespace

// Points standard error at NUL and returns a descriptor holding the real one;
// -1 when nothing was changed.
int SDLDPYQuietBegin() {
    if (librariesMaySpeak()) return -1;
    std::fflush(stderr);
    const int saved = _dup(stderrNumber);
    if (saved < 0) return -1;
    const int null = _open("NUL", _O_WRONLY | _O_BINARY);
    if (null < 0 || _dup2(null, stderrNumber) < 0) {
        if (null >= 0) _close(null);
        _close(saved);
        return -1;
    }
    _close(null);
    return saved;
}

// Gives standard error back; saved is SDLDPYQuietBegin's result.
void SDLDPYQuietEnd(int saved) {
    if (saved < 0) return;
    std::fflush(stderr);
    _dup2(saved, stderrNumber);
    _close(saved);
}
