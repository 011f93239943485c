// Careful file handling for velm4023-capture: outputs are written beside their
// target under a hidden temporary name and renamed into place only when whole,
// and everything temporary (files, folders, ffmpeg runs) is remembered so that
// a failure, Ctrl+C or kill removes it on every path. The removal runs from a
// signal handler, so the table is fixed-size and the removal uses only
// async-signal-safe calls. This is the capture tool's Linux side: signals,
// descriptors and the file system's own calls; the rest of the tool asks
// through capture.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTFILE", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr int maxTracked = 8;
constexpr std::size_t pathSize = 4096;

struct Tracked {
    char path[pathSize];
    volatile std::sig_atomic_t used;   // 1: a file, 2: a folder, 3: a process (pid below)
    volatile pid_t pid;
};
Tracked tracked[maxTracked];
mode_t fileMode = 0644;   // what a new file gets under the user's umask

// Writes a text with write(2): usable inside a signal handler.
void say(const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(STDERR_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

int track(int kind, const char* path, pid_t pid) {
    for (int i = 0; i < maxTracked; i++) {
        if (tracked[i].used == 0) {
            std::snprintf(tracked[i].path, pathSize, "%s", path != nullptr ? path : "");
            tracked[i].pid = pid;
            tracked[i].used = kind;
            return i;
        }
    }
    return -1;
}

// Ctrl+C, kill or a lost terminal: remove what is half made, say so, then end
// by the same signal so that the caller sees how the run ended.
void onSignal(int signal) {
    say("\nvelm4023-capture: interrupted; no output was left half written\n");
    CAPTURERemoveTemporaries();
    std::signal(signal, SIG_DFL);
    raise(signal);
}
}  // namespace

void CAPTUREGuardSignals() {
    const mode_t mask = umask(0);
    umask(mask);
    fileMode = 0666 & ~mask;
    std::signal(SIGPIPE, SIG_IGN);   // a stopped ffmpeg becomes a write error with a message
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

int CAPTURETrackFile(const char* path) { return track(1, path, 0); }
int CAPTURETrackFolder(const char* path) { return track(2, path, 0); }
int CAPTURETrackProcess(int pid) { return track(3, nullptr, pid); }

void CAPTUREUntrack(int slot) {
    if (slot >= 0 && slot < maxTracked) tracked[slot].used = 0;
}

// Stops the processes, then removes the files and last the folders.
void CAPTURERemoveTemporaries() {
    for (Tracked& entry : tracked) {
        if (entry.used == 3) {
            kill(entry.pid, SIGKILL);   // its output is temporary; it may be blocked reading our pipe
            int status = 0;
            while (waitpid(entry.pid, &status, 0) < 0 && errno == EINTR) {
            }
            entry.used = 0;
        }
    }
    for (int kind = 1; kind <= 2; kind++) {
        for (Tracked& entry : tracked) {
            if (entry.used != kind) continue;
            if (kind == 1) unlink(entry.path);
            if (kind == 2) rmdir(entry.path);
            entry.used = 0;
        }
    }
}

// Makes an empty file beside target, ".NAME-XXXXXX", readable as a new file of
// the user's would be, open for writing and never inherited by a child; its
// name goes to temp. Null on failure (errno set).
std::FILE* CAPTURETempBeside(const char* target, char* temp, std::size_t size) {
    const char* slash = std::strrchr(target, '/');
    const int dirLength = slash != nullptr ? static_cast<int>(slash - target + 1) : 0;
    const int n = std::snprintf(temp, size, "%.*s.%s-XXXXXX", dirLength, target,
                                slash != nullptr ? slash + 1 : target);
    if (n < 0 || static_cast<std::size_t>(n) >= size) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    const int fd = mkostemp(temp, O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::FILE* file = nullptr;
    if (fchmod(fd, fileMode) != 0 || (file = fdopen(fd, "wb")) == nullptr || CAPTURETrackFile(temp) < 0) {
        const int why = errno != 0 ? errno : EMFILE;
        if (file != nullptr) std::fclose(file);
        else close(fd);
        unlink(temp);
        errno = why;
        return nullptr;
    }
    return file;
}

// Puts the finished temporary file in the target's place. Without overwrite an
// output that appeared meanwhile is kept and the new one removed.
bool CAPTURECommit(const char* temp, const char* target, bool overwrite) {
    bool ok;
    if (overwrite) {
        ok = std::rename(temp, target) == 0;
    } else {
        ok = link(temp, target) == 0;   // fails when the target exists
        if (!ok && errno != EEXIST && access(target, F_OK) != 0 && errno == ENOENT) {
            ok = std::rename(temp, target) == 0;   // a file system without hard links
        }
    }
    const int why = errno;
    unlink(temp);
    for (Tracked& entry : tracked) {
        if (entry.used == 1 && std::strcmp(entry.path, temp) == 0) entry.used = 0;
    }
    errno = why;
    return ok;
}

// The folder for temporary files: $TMPDIR, else /tmp.
const char* CAPTURETempRoot() {
    const char* root = std::getenv("TMPDIR");
    return root != nullptr && root[0] != '\0' ? root : "/tmp";
}

// A new folder under the temporary root, velm4023-capture-XXXXXX, tracked.
bool CAPTUREMakeTempFolder(char* folder, std::size_t size) {
    if (std::snprintf(folder, size, "%s/velm4023-capture-XXXXXX", CAPTURETempRoot()) >= static_cast<int>(size)) {
        errno = ENAMETOOLONG;
        return false;
    }
    return mkdtemp(folder) != nullptr;
}

// Removes a file, which is no longer tracked; nothing when there is none.
void CAPTURERemovePath(const char* path) {
    if (path == nullptr || path[0] == '\0') return;
    unlink(path);
    for (Tracked& entry : tracked) {
        if (entry.used == 1 && std::strcmp(entry.path, path) == 0) entry.used = 0;
    }
}
void CAPTURERemoveFolder(const char* path) {
    if (path != nullptr && path[0] != '\0') rmdir(path);
}

// Whether the folder exists and new files can be made in it (errno says why not).
bool CAPTUREMayWriteInto(const char* folder) { return access(folder, W_OK | X_OK) == 0; }

bool CAPTUREIsTerminal(std::FILE* stream) { return stream != nullptr && isatty(fileno(stream)) != 0; }

// Takes standard output for the image stream and sends everything else the
// process prints there (reporter lines) to standard error instead, so that
// nothing can corrupt the stream. The stream's descriptor is not inherited by
// ffmpeg, so a reader of the stream sees its end when the tool ends.
std::FILE* CAPTURETakeStdout() {
    std::fflush(stdout);
    const int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) return nullptr;
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
