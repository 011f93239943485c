// F9: recording a performance. The show is exact to the frame, so a recording
// is the keys the show received with their frame numbers, written as a keys
// file; the capture tool renders the video from it offline, in a child process
// at low priority, with the same frames and the same sound.
// Every key is kept from frame 1 (the state at the start of a recording
// depends on earlier keys) in a table reserved when the program is loaded, so
// the frame loop allocates nothing.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>

#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLREC  ", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr int maxKeys = 1 << 16;
constexpr int maxRenders = 4;
constexpr std::size_t pathSize = 4096;
constexpr int renderScale = 4;      // 1024 x 1024, every pixel a crisp 4 x 4 block
constexpr int renderNice = 10;

struct LoggedKey {
    std::int64_t frame;   // the key was read right after this frame was presented
    int code;
};
LoggedKey keyLog[maxKeys];
int keyCount = 0;
bool keyLogFull = false;

bool recording = false;
std::int64_t recordFirst = 0;
char stamp[32];
bool exitHooked = false;

// A render in the background: the capture tool's process and its files.
struct Render {
    pid_t pid;            // 0: slot free
    char video[pathSize];
    char keys[pathSize];
    char command[4 * pathSize];
};
Render renders[maxRenders];
volatile std::sig_atomic_t interrupted = 0;

// The signals a terminal user ends a program with. During a recording they
// are caught so that the keys are written before the show ends by them; one
// that was ignored when the recording began (nohup) stays ignored.
constexpr int endSignals[] = {SIGINT, SIGTERM, SIGHUP};
bool endCaught[3] = {};
volatile std::sig_atomic_t endSignal = 0;   // the first such signal during a recording
volatile std::sig_atomic_t rescuing = 0;    // its keys are being written

// A word of a command line as a shell would need it: quoted unless plain.
void quoted(const char* word, char* out, std::size_t size) {
    bool plain = word[0] != '\0';
    for (const char* p = word; *p != '\0'; p++) {
        plain = plain && (std::strchr("/._-+:@,=", *p) != nullptr || (*p >= '0' && *p <= '9') ||
                          (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'));
    }
    if (plain) {
        std::snprintf(out, size, "%s", word);
        return;
    }
    std::size_t n = 0;
    auto put = [&](char c) {
        if (n + 1 < size) out[n++] = c;
    };
    put('\'');
    for (const char* p = word; *p != '\0'; p++) {
        if (*p == '\'') {
            for (char c : {'\'', '\\', '\'', '\''}) put(c);
        } else {
            put(*p);
        }
    }
    put('\'');
    out[n] = '\0';
}

// The capture tool beside the running program (as installed), else in the
// build tree's capture/ folder next to the program's demo/, else on the PATH;
// false when none has one.
bool findProgram(const char* name, bool besideSelf, char* found, std::size_t size) {
    char self[pathSize];
    const ssize_t n = besideSelf ? readlink("/proc/self/exe", self, sizeof self - 1) : -1;
    if (n > 0) {
        self[n] = '\0';
        if (char* slash = std::strrchr(self, '/')) {
            *slash = '\0';
            for (const char* folder : {"", "/../capture"}) {
                if (std::snprintf(found, size, "%s%s/%s", self, folder, name) < static_cast<int>(size) &&
                    access(found, X_OK) == 0)
                    return true;
            }
        }
    }
    const char* path = std::getenv("PATH");
    for (const char* start = path; start != nullptr && *start != '\0';) {
        const char* colon = std::strchr(start, ':');
        const int length = colon != nullptr ? static_cast<int>(colon - start) : static_cast<int>(std::strlen(start));
        if (length > 0 && std::snprintf(found, size, "%.*s/%s", length, start, name) < static_cast<int>(size) &&
            access(found, X_OK) == 0) {
            return true;
        }
        start = colon != nullptr ? colon + 1 : nullptr;
    }
    return false;
}

// A key code as the capture tool's --keys reads it.
void keyName(int code, char* out, std::size_t size) {
    const struct {
        int code;
        const char* name;
    } names[] = {{32, "space"}, {27, "escape"}, {13, "return"}, {9, "tab"}, {8, "backspace"}, {44, "comma"}, {58, "colon"}};
    for (const auto& n : names) {
        if (n.code == code) {
            std::snprintf(out, size, "%s", n.name);
            return;
        }
    }
    if (code > 32 && code < 127 && code != '#') {
        std::snprintf(out, size, "%c", code);
    } else {
        std::snprintf(out, size, "%d", code);
    }
}

// Picks velm4023-STAMP.keys and .mp4 in the videos folder, neither existing.
bool choosePaths(char* keys, char* video) {
    char folder[pathSize];
    SDLDPYUserDir("XDG_VIDEOS_DIR", "Videos", folder, sizeof folder);
    for (int serial = 1; serial < 100; serial++) {
        char suffix[8] = "";
        if (serial > 1) std::snprintf(suffix, sizeof suffix, "-%d", serial);
        const int a = std::snprintf(keys, pathSize, "%s/velm4023-%s%s.keys", folder, stamp, suffix);
        const int b = std::snprintf(video, pathSize, "%s/velm4023-%s%s.mp4", folder, stamp, suffix);
        if (a < 0 || b < 0 || a >= static_cast<int>(pathSize) || b >= static_cast<int>(pathSize)) return false;
        if (access(keys, F_OK) != 0 && access(video, F_OK) != 0) return true;
    }
    return false;
}

// Writes the keys file: a comment with the frame range and the command that
// renders it, then one FRAME:KEY entry a line.
bool writeKeys(const char* path, std::int64_t first, std::int64_t last, const char* command) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    std::FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) close(fd);
        return false;
    }
    std::fprintf(file, "# velm4023 performance: frames %lld to %lld (%lld frames at 50 per second)\n",
                 static_cast<long long>(first), static_cast<long long>(last),
                 static_cast<long long>(last - first + 1));
    std::fprintf(file, "# render: %s\n", command);
    for (int i = 0; i < keyCount && keyLog[i].frame <= last; i++) {
        if (keyLog[i].code < 10 && keyLog[i].code != 8 && keyLog[i].code != 9) continue;   // no key of the show
        char name[16];
        keyName(keyLog[i].code, name, sizeof name);
        std::fprintf(file, "%lld:%s\n", static_cast<long long>(keyLog[i].frame), name);
    }
    const bool ok = std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

// Reports a render that ended: the video's path, or why there is none.
void reportEnd(Render& render, int status) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        std::printf("%s\n", render.video);
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "velm4023: the video %s was not made (the capture tool %s %d); render it with: %s\n",
                     render.video, WIFEXITED(status) ? "ended with status" : "was stopped by signal",
                     WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status), render.command);
    }
    render.pid = 0;
}

void onInterrupt(int) { interrupted = 1; }

// Asks the frame loop to write the recording and end by the signal. A second
// signal before the loop got to it (a loop stuck somewhere) ends the show at
// once; one while the keys are being written waits for them. Only
// async-signal-safe calls.
void onEndSignal(int sig) {
    if (endSignal == 0) {
        endSignal = sig;
    } else if (rescuing == 0) {
        signal(sig, SIG_DFL);
        raise(sig);
    }
}

// Catches the ending signals while a recording goes on.
void catchEndSignals() {
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(endSignals); i++) {
        struct sigaction old {};
        endCaught[i] = sigaction(endSignals[i], nullptr, &old) == 0 && old.sa_handler != SIG_IGN &&
                       sigaction(endSignals[i], &action, nullptr) == 0;
    }
}

// Gives the ending signals their default back once the keys are written.
void releaseEndSignals() {
    for (std::size_t i = 0; i < std::size(endSignals); i++) {
        if (endCaught[i]) signal(endSignals[i], SIG_DFL);
        endCaught[i] = false;
    }
}

// The signal that came during the recording: its keys are written, without a
// render, and the show ends by that same signal, as if it had not been caught.
[[noreturn]] void endBySignal() {
    const int sig = endSignal;
    rescuing = 1;
    SDLKBDRecordRescue();
    signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(sig);
    _exit(128 + sig);   // not reached: the default action ends the process
}

// At exit: a recording still going ends with the fade's frames (or, when a
// signal came during the fade, as that signal asks), and renders still running
// are waited for; Ctrl+C abandons them, leaving no half file.
void atExit() {
    if (endSignal != 0) endBySignal();   // a signal during the fade
    if (recording) SDLKBDRecord();
    struct sigaction action {}, oldInt {}, oldTerm {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    for (Render& render : renders) {
        if (render.pid == 0) continue;
        std::printf("velm4023: waiting for the video %s to be rendered (Ctrl+C abandons it)\n", render.video);
        std::fflush(stdout);
        int status = 0;
        while (!interrupted && waitpid(render.pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (interrupted) {
            kill(render.pid, SIGTERM);   // the capture tool removes what it had half made
            while (waitpid(render.pid, &status, 0) < 0 && errno == EINTR) {
            }
            std::fprintf(stderr, "velm4023: the video %s was abandoned; the keys file %s stays, render it with: %s\n",
                         render.video, render.keys, render.command);
            render.pid = 0;
        } else {
            reportEnd(render, status);
        }
    }
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
}

// Starts the capture tool at path with argv in a child process. The child
// only makes async-signal-safe calls before it becomes the tool: its own
// process group (the terminal's Ctrl+C is for the show, which passes it on at
// exit), low priority, no terminal output. The child's pid, or -1.
pid_t startRender(const char* path, char* const argv[]) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        setpriority(PRIO_PROCESS, 0, renderNice);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);  // the show ignores it while it watches the display
        execv(path, argv);
        _exit(127);
    }
    return pid;
}

// A text into size bytes, cut short if it must be.
void copyText(char* to, std::size_t size, const char* from) {
    const std::size_t n = strnlen(from, size - 1);
    std::memcpy(to, from, n);
    to[n] = '\0';
}

// A recording's files and the command that renders the one from the other.
struct Take {
    char keys[pathSize];
    char video[pathSize];
    char tool[pathSize];
    bool haveTool;
    char frames[48];
    char keysArgument[pathSize + 1];
    char scale[8];
    char command[4 * pathSize];
};
Take take;   // the recording last ended: its render and its line read it

// Ends the recording at frame last and writes its keys file, whose comment
// gives the command that renders it; false, with one line on standard error,
// when it cannot be written. The ending signals get their default back only
// now, so that none cuts the file short.
bool saveKeys(std::int64_t last) {
    recording = false;
    Take& t = take;
    bool ok = false;
    if (!choosePaths(t.keys, t.video)) {
        std::fprintf(stderr, "velm4023: recording not written: no free name in the videos folder\n");
    } else {
        t.haveTool = findProgram("velm4023-capture", true, t.tool, sizeof t.tool);
        std::snprintf(t.frames, sizeof t.frames, "%lld:%lld", static_cast<long long>(recordFirst),
                      static_cast<long long>(last));
        t.keysArgument[0] = '@';
        copyText(t.keysArgument + 1, sizeof t.keysArgument - 1, t.keys);
        std::snprintf(t.scale, sizeof t.scale, "%d", renderScale);
        char qTool[pathSize + 64], qKeys[pathSize + 64], qVideo[pathSize + 64];
        quoted(t.haveTool ? t.tool : "velm4023-capture", qTool, sizeof qTool);
        quoted(t.keysArgument, qKeys, sizeof qKeys);
        quoted(t.video, qVideo, sizeof qVideo);
        const int length = std::snprintf(t.command, sizeof t.command, "%s --frames %s --keys %s --scale %s --video %s",
                                         qTool, t.frames, qKeys, t.scale, qVideo);
        if (length < 0 || length >= static_cast<int>(sizeof t.command)) t.command[0] = '\0';  // never: room for all
        if (keyLogFull) {
            std::fprintf(stderr, "velm4023: recording not written: more than %d keys since the show started\n",
                         maxKeys);
        } else if (!writeKeys(t.keys, recordFirst, last, t.command)) {
            std::fprintf(stderr, "velm4023: recording not written: %s: %s\n", t.keys, std::strerror(errno));
        } else {
            ok = true;
        }
    }
    if (rescuing == 0) releaseEndSignals();
    return ok;
}

// Ends the recording at frame last: the keys file, then the render.
void finish(std::int64_t last) {
    if (!saveKeys(last)) return;
    Take& t = take;
    std::printf("velm4023: recorded frames %s into %s\n", t.frames, t.keys);
    std::fflush(stdout);
    char ffmpeg[pathSize];
    const bool haveFFmpeg = findProgram("ffmpeg", false, ffmpeg, sizeof ffmpeg);
    const char* missing = !t.haveTool ? "the capture tool velm4023-capture is neither beside the show nor on the PATH"
                          : !haveFFmpeg ? "ffmpeg is not on the PATH (on Debian: apt-get install ffmpeg)"
                                        : nullptr;
    Render* slot = nullptr;
    for (Render& render : renders) {
        if (render.pid == 0 && slot == nullptr) slot = &render;
    }
    if (missing == nullptr && slot == nullptr) missing = "too many videos are being rendered";
    if (missing != nullptr) {
        std::fprintf(stderr, "velm4023: no video: %s; the keys file stays, render it with: %s\n", missing, t.command);
        return;
    }
    char* argv[] = {t.tool, const_cast<char*>("--frames"), t.frames, const_cast<char*>("--keys"), t.keysArgument,
                    const_cast<char*>("--scale"), t.scale, const_cast<char*>("--video"), t.video, nullptr};
    const pid_t pid = startRender(t.tool, argv);
    if (pid < 0) {
        std::fprintf(stderr, "velm4023: no video: cannot start the capture tool: %s; render it with: %s\n",
                     std::strerror(errno), t.command);
        return;
    }
    slot->pid = pid;
    copyText(slot->video, sizeof slot->video, t.video);
    copyText(slot->keys, sizeof slot->keys, t.keys);
    copyText(slot->command, sizeof slot->command, t.command);
}
}  // namespace

// Keeps the key the show is about to act on, read after frame was presented.
void SDLKBDLogKey(std::int64_t frame, int code) {
    if (code == 0) return;
    if (keyCount >= maxKeys) {
        keyLogFull = true;
        return;
    }
    keyLog[keyCount++] = {frame, code};
}

// F9: starts a recording at the frame on screen, or ends the one going.
void SDLKBDRecord() {
    const std::int64_t frame = SDLDPYFramesShown();
    if (recording) {
        finish(frame);
        return;
    }
    if (!exitHooked) exitHooked = std::atexit(atExit) == 0;
    catchEndSignals();
    recording = true;
    recordFirst = frame > 0 ? frame : 1;
    std::snprintf(stamp, sizeof stamp, "00000000-000000");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::printf("velm4023: recording from frame %lld; F9 ends it\n", static_cast<long long>(recordFirst));
    std::fflush(stdout);
}

// Ends the show as a signal that came during a recording asked, once its keys
// are written; reports renders that ended since the last look. One cheap call
// a frame.
void SDLKBDRecordPoll() {
    if (endSignal != 0) endBySignal();
    for (Render& render : renders) {
        if (render.pid == 0) continue;
        int status = 0;
        if (waitpid(render.pid, &status, WNOHANG) == render.pid) reportEnd(render, status);
    }
}

// The show is ending before its time (a signal, the display lost): a recording
// going on is written now, its keys file whole with the command that renders
// it, which one line on standard error gives; no render is started.
void SDLKBDRecordRescue() {
    if (!recording) return;
    if (!saveKeys(SDLDPYFramesShown())) return;
    std::fprintf(stderr, "velm4023: recorded frames %s into %s; no video now, render it with: %s\n", take.frames,
                 take.keys, take.command);
}
