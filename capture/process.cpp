// ffmpeg as a child process of velm4023-capture: found on the PATH, started
// without a shell with a pipe to its standard input, waited for.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "capture/capture.h"

extern char** environ;

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTPROC", "20261210", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// True when an executable ffmpeg is on the PATH.
bool CAPTUREHaveFFmpeg() {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    char candidate[4096];
    for (const char* start = path;;) {
        const char* colon = std::strchr(start, ':');
        const std::size_t length = colon ? static_cast<std::size_t>(colon - start) : std::strlen(start);
        if (length > 0 && length + 8 < sizeof candidate) {
            std::memcpy(candidate, start, length);
            std::memcpy(candidate + length, "/ffmpeg", 8);
            if (access(candidate, X_OK) == 0) return true;
        }
        if (colon == nullptr) return false;
        start = colon + 1;
    }
}

// Starts ffmpeg with argv; when input is not null it gets a stream writing to
// ffmpeg's standard input. Returns the process id, or -1.
int CAPTURESpawn(char* const* argv, std::FILE** input, const char* log) {
    int fds[2] = {-1, -1};
    if (input != nullptr && pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    }
    if (log != nullptr) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (input != nullptr) {
        close(fds[0]);
        *input = failed == 0 ? fdopen(fds[1], "wb") : nullptr;
        if (*input == nullptr) close(fds[1]);
    }
    return failed == 0 ? pid : -1;
}

// Waits for a process; true when it exited with status 0.
bool CAPTUREWait(int pid) {
    if (pid <= 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
