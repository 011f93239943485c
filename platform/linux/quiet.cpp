// Library chatter held back: while SDL looks for a display or a sound device,
// its drivers and the libraries under them (ALSA, Wayland's client) print
// their own complaints on standard error, before and besides the show's one
// line that says what went wrong. Around those calls standard error goes to
// /dev/null; VELM4023_LIBRARY_MESSAGES=1 lets the libraries speak.
#include "platform/quiet.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLQUIET", "20261209", "Tordeval", "C++     ", "CODE    "};

// Whether the user asked to see the libraries' own messages.
bool librariesMaySpeak() {
    const char* asked = std::getenv("VELM4023_LIBRARY_MESSAGES");
    return asked != nullptr && asked[0] != '\0' && std::strcmp(asked, "0") != 0;
}
}  // namespace

// Points standard error at /dev/null and returns a descriptor (3 or above, so
// that no library's descriptor can take number 2) holding the real one; -1
// when nothing was changed.
int SDLDPYQuietBegin() {
    if (librariesMaySpeak()) return -1;
    std::fflush(stderr);
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (saved < 0) return -1;
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0 || dup2(null, STDERR_FILENO) < 0) {
        if (null >= 0) close(null);
        close(saved);
        return -1;
    }
    close(null);
    return saved;
}

// Gives standard error back; saved is SDLDPYQuietBegin's result.
void SDLDPYQuietEnd(int saved) {
    if (saved < 0) return;
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
}
