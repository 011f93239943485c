// Child processes on Linux: posix_spawn with file actions, so that nothing
// runs in the child between fork and exec but the C library's own steps.
// Every pipe is made close-on-exec at both ends; the child's standard input
// is a dup2 of the reading end, which drops that flag on the copy alone.
#include "host/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {
constexpr int backgroundNice = 10;

volatile std::sig_atomic_t interruptedWait = 0;
void onInterrupt(int) { interruptedWait = 1; }

HOSTEXIT exitOf(int status) {
    if (WIFEXITED(status)) return {true, WEXITSTATUS(status)};
    return {false, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

// waitpid until it answers other than EINTR, or until stop is set.
pid_t waitFor(pid_t pid, int* status, int flags, const volatile std::sig_atomic_t* stop) {
    for (;;) {
        if (stop != nullptr && *stop != 0) return -1;
        const pid_t got = waitpid(pid, status, flags);
        if (got >= 0 || errno != EINTR) return got;
    }
}
}  // namespace

int HOSTSpawn(const std::vector<std::string>& argv, const HOSTCHILD& how, std::FILE** input) {
    if (argv.empty() || (how.input && input == nullptr)) {
        errno = EINVAL;
        return -1;
    }
    if (input != nullptr) *input = nullptr;
    // The program is looked for here, not by the C library's spawn: where
    // that cannot report a failed exec (under an emulator such as qemu-user,
    // which turns its vfork into a fork) a missing program would otherwise
    // look started and end at once with status 127.
    const std::string program = argv[0].find('/') == std::string::npos ? HOSTFindProgram(argv[0].c_str()) : argv[0];
    if (!HOSTIsProgram(program)) {
        errno = ENOENT;
        return -1;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (how.input) {
        if (pipe2(fds, O_CLOEXEC) != 0) return -1;
        // A child that stops reading makes the parent's writes fail with
        // EPIPE instead of ending the parent by SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    if (how.input) posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    if (how.detached) {
        if (!how.input) posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (how.errorLog != nullptr) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, how.errorLog, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    // The child starts with no signal blocked and with the default action
    // for the signals its parent may catch or ignore (SIGPIPE above; the
    // show's handlers during a recording).
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGINT, SIGTERM, SIGPIPE}) sigaddset(&defaults, sig);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    if (how.detached) {
        flags |= POSIX_SPAWN_SETPGROUP;
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (how.input) {
        close(fds[0]);
        std::FILE* stream = failed == 0 ? fdopen(fds[1], "wb") : nullptr;
        if (stream == nullptr) close(fds[1]);
        *input = stream;
        if (failed == 0 && stream == nullptr) {
            // Without its input the child is of no use: it sees the end and stops.
            int status = 0;
            waitFor(pid, &status, 0, nullptr);
            return -1;
        }
    }
    if (failed != 0) {
        errno = failed;
        return -1;
    }
    if (how.detached) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), backgroundNice);
    return static_cast<int>(pid);
}

bool HOSTWait(int child, HOSTEXIT* how) {
    int status = 0;
    if (child <= 0 || waitFor(child, &status, 0, nullptr) != child) return false;
    if (how != nullptr) *how = exitOf(status);
    return true;
}

bool HOSTWaitInterruptible(int child, HOSTEXIT* how, bool* interrupted) {
    if (interrupted != nullptr) *interrupted = false;
    if (child <= 0) return false;
    struct sigaction action {}, oldInt {}, oldTerm {};
    action.sa_handler = onInterrupt;   // no SA_RESTART: the signal ends waitpid
    sigemptyset(&action.sa_mask);
    interruptedWait = 0;
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    int status = 0;
    const pid_t got = waitFor(child, &status, 0, &interruptedWait);
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    if (got == child) {
        if (how != nullptr) *how = exitOf(status);
        return true;
    }
    if (interrupted != nullptr) *interrupted = interruptedWait != 0;
    return false;
}

bool HOSTPoll(int child, HOSTEXIT* how) {
    int status = 0;
    if (child <= 0 || waitFor(child, &status, WNOHANG, nullptr) != child) return false;
    if (how != nullptr) *how = exitOf(status);
    return true;
}

void HOSTStop(int child) {
    if (child > 0) kill(child, SIGTERM);
}

bool HOSTIsProgram(const std::string& path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

std::string HOSTFindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    if (name == nullptr || name[0] == '\0' || path == nullptr) return "";
    for (const char* start = path;;) {
        const char* colon = std::strchr(start, ':');
        const std::size_t length = colon != nullptr ? static_cast<std::size_t>(colon - start) : std::strlen(start);
        if (length > 0) {
            std::string candidate(start, length);
            candidate += '/';
            candidate += name;
            if (HOSTIsProgram(candidate)) return candidate;
        }
        if (colon == nullptr) return "";
        start = colon + 1;
    }
}

std::string HOSTProgramFolder() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    std::string folder(self, static_cast<std::size_t>(n));
    const std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? "" : folder.substr(0, slash);
}

// A word for a POSIX shell: quoted in single quotes unless plain.
std::string HOSTQuote(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) {
        plain = plain && (std::strchr("/._-+:@,=", c) != nullptr || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                          (c >= 'A' && c <= 'Z'));
    }
    if (plain) return word;
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

const char* HOSTFFmpegHint() { return "ffmpeg is not on the PATH (on Debian: apt-get install ffmpeg)"; }
