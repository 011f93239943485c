// What velm4023-capture asks of its host: the command line, standard output
// for the image stream, and an SDL without window or sound device.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTCONS", "20261210", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// The arguments as they came: Linux hands them over in the user's encoding.
char** CAPTUREArguments(int* /*argc*/, char** argv) { return argv; }

// Takes standard output for the image stream and sends everything else the
// process prints there (reporter lines) to standard error instead, so that
// nothing can corrupt the stream.
std::FILE* CAPTURETakeStdout() {
    std::fflush(stdout);
    int fd = dup(STDOUT_FILENO);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        close(fd);
        return nullptr;
    }
    if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::fclose(stream);
        return nullptr;
    }
    std::signal(SIGPIPE, SIG_IGN);   // a closed pipe becomes a write error with a message
    return stream;
}

void CAPTUREHeadless() {
    // Headless whatever the environment says: no window, no sound device.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // SDL would turn SIGINT and SIGTERM into a quit event, which the show's
    // keyboard discards; left at their defaults, Ctrl+C and kill end a long run.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
}
