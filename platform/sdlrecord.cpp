// F9: recording a performance. The show is exact to the frame, so a recording
// is the keys the show received with their frame numbers, written as a keys
// file (platform/keysfile.h); the capture tool renders the video from it
// offline, in a child process at low priority (host/process.h), with the same
// frames and the same sound. An end from outside during a recording
// (platform/ending.h) writes the keys file first, through the keeper set here.
// Every key is kept from frame 1 (the state at the start of a recording
// depends on earlier keys) in a table reserved when the program is loaded, so
// the frame loop allocates nothing.
#include "platform/sdlrecord.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/files.h"
#include "host/process.h"
#include "img/img.h"
#include "platform/ending.h"
#include "platform/folders.h"
#include "platform/keysfile.h"
#include "platform/sdldpy.h"

namespace {
[[maybe_unused]] const IDENT ident = {"SDLREC  ", "20261209", "Tordeval", "C++     ", "CODE    "};

constexpr int maxKeys = 1 << 16;
constexpr int maxRenders = 4;
constexpr std::size_t pathSize = 4096;
constexpr int renderScale = 4;      // 1024 x 1024, every pixel a crisp 4 x 4 block
constexpr const char* captureTool = "velm4023-capture";

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
bool abandoned = false;   // Ctrl+C while renders were waited for at exit

// A render in the background: the capture tool's process and its files.
struct Render {
    int pid;              // 0: slot free
    std::string video;
    std::string keys;
    std::string command;
};
Render renders[maxRenders];

// The capture tool beside the running program (as installed), else in the
// build tree's capture/ folder next to the program's demo/, else on the PATH;
// "" when none has one.
std::string findCaptureTool() {
    const std::string self = HOSTProgramFolder();
    if (!self.empty()) {
        for (const char* folder : {"", "/../capture"}) {
            const std::string candidate = self + folder + "/" + captureTool;
            if (HOSTIsProgram(candidate)) return candidate;
        }
    }
    return HOSTFindProgram(captureTool);
}

bool exists(const std::string& path) {
    std::error_code why;
    return std::filesystem::exists(HOSTPath(path.c_str()), why);
}

// Picks velm4023-STAMP.keys and .mp4 in the videos folder, neither existing.
bool choosePaths(std::string* keys, std::string* video) {
    char folder[pathSize];
    SDLDPYUserDir("XDG_VIDEOS_DIR", "Videos", folder, sizeof folder);
    for (int serial = 1; serial < 100; serial++) {
        const std::string base = std::string(folder) + "/velm4023-" + stamp +
                                 (serial > 1 ? "-" + std::to_string(serial) : std::string());
        if (base.size() + 6 >= pathSize) return false;
        *keys = base + ".keys";
        *video = base + ".mp4";
        if (!exists(*keys) && !exists(*video)) return true;
    }
    return false;
}

// Writes the keys file, made new (never over another): the comments with the
// frame range and the command that renders it, then the keys up to last.
bool writeKeys(const std::string& path, std::int64_t first, std::int64_t last, const std::string& command) {
    std::FILE* file = std::fopen(path.c_str(), "wx");
    if (file == nullptr) return false;
    bool ok = KEYSWriteHeader(file, first, last, command.c_str());
    for (int i = 0; ok && i < keyCount && keyLog[i].frame <= last; i++) {
        if (KEYSKept(keyLog[i].code)) ok = KEYSWriteEntry(file, keyLog[i].frame, keyLog[i].code);
    }
    ok = ok && std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

// Reports a render that ended: the video's path, or why there is none.
void reportEnd(Render& render, const HOSTEXIT& how) {
    if (HOSTSucceeded(how)) {
        std::printf("%s\n", render.video.c_str());
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "velm4023: the video %s was not made (the capture tool %s %d); render it with: %s\n",
                     render.video.c_str(), how.exited ? "ended with status" : "was stopped by signal", how.code,
                     render.command.c_str());
    }
    render.pid = 0;
}

// A recording's files and the command that renders the one from the other.
struct Take {
    std::string keys;
    std::string video;
    std::string tool;     // "" when there is none
    std::string frames;
    std::string command;
    std::vector<std::string> argv;
};
Take take;   // the recording last ended: its render and its line read it

// Ends the recording at frame last and writes its keys file, whose comment
// gives the command that renders it; false, with one line on standard error,
// when it cannot be written. The ends from outside act at once again only
// now, so that none cuts the file short.
bool saveKeys(std::int64_t last) {
    recording = false;
    Take& t = take;
    bool ok = false;
    if (!choosePaths(&t.keys, &t.video)) {
        std::fprintf(stderr, "velm4023: recording not written: no free name in the videos folder\n");
    } else {
        t.tool = findCaptureTool();
        t.frames = std::to_string(recordFirst) + ":" + std::to_string(last);
        t.argv = {t.tool.empty() ? captureTool : t.tool, "--frames", t.frames, "--keys", "@" + t.keys,
                  "--scale", std::to_string(renderScale), "--video", t.video};
        t.command.clear();
        for (const std::string& word : t.argv) t.command += (t.command.empty() ? "" : " ") + HOSTQuote(word);
        if (keyLogFull) {
            std::fprintf(stderr, "velm4023: recording not written: more than %d keys since the show started\n",
                         maxKeys);
        } else if (!writeKeys(t.keys, recordFirst, last, t.command)) {
            std::fprintf(stderr, "velm4023: recording not written: %s: %s\n", t.keys.c_str(), std::strerror(errno));
        } else {
            ok = true;
        }
    }
    ENDSRelease();
    return ok;
}

// The show is ending before its time (an end from outside): a recording going
// on is written now, its keys file whole with the command that renders it,
// which one line on standard error gives; no render is started.
void keepRecording() {
    if (!recording) return;
    if (!saveKeys(SDLDPYFramesShown())) return;
    std::fprintf(stderr, "velm4023: recorded frames %s into %s; no video now, render it with: %s\n",
                 take.frames.c_str(), take.keys.c_str(), take.command.c_str());
}

// At exit: a recording still going ends with the fade's frames (or, when an
// end from outside came during the fade, as that end asks), and renders still
// running are waited for; Ctrl+C abandons them, leaving no half file.
void atExit() {
    ENDSPoll();   // an end during the fade
    if (recording) SDLKBDRecord();
    for (Render& render : renders) {
        if (render.pid == 0) continue;
        HOSTEXIT how{};
        if (!abandoned) {
            std::printf("velm4023: waiting for the video %s to be rendered (Ctrl+C abandons it)\n",
                        render.video.c_str());
            std::fflush(stdout);
            bool interrupted = false;
            if (HOSTWaitInterruptible(render.pid, &how, &interrupted)) {
                reportEnd(render, how);
                continue;
            }
            abandoned = interrupted;
        }
        HOSTStop(render.pid);   // the capture tool removes what it had half made
        HOSTWait(render.pid, &how);
        std::fprintf(stderr, "velm4023: the video %s was abandoned; the keys file %s stays, render it with: %s\n",
                     render.video.c_str(), render.keys.c_str(), render.command.c_str());
        render.pid = 0;
    }
}

// Ends the recording at frame last: the keys file, then the render.
void finish(std::int64_t last) {
    if (!saveKeys(last)) return;
    Take& t = take;
    std::printf("velm4023: recorded frames %s into %s\n", t.frames.c_str(), t.keys.c_str());
    std::fflush(stdout);
    const bool haveFFmpeg = !HOSTFindProgram("ffmpeg").empty();
    const char* missing = t.tool.empty() ? "the capture tool velm4023-capture is neither beside the show nor on the PATH"
                          : !haveFFmpeg  ? HOSTFFmpegHint()
                                         : nullptr;
    Render* slot = nullptr;
    for (Render& render : renders) {
        if (render.pid == 0 && slot == nullptr) slot = &render;
    }
    if (missing == nullptr && slot == nullptr) missing = "too many videos are being rendered";
    if (missing != nullptr) {
        std::fprintf(stderr, "velm4023: no video: %s; the keys file stays, render it with: %s\n", missing,
                     t.command.c_str());
        return;
    }
    HOSTCHILD how{};
    how.detached = true;   // its own job: the terminal's Ctrl+C is for the show, which passes it on at exit
    const int pid = HOSTSpawn(t.argv, how, nullptr);
    if (pid < 0) {
        std::fprintf(stderr, "velm4023: no video: cannot start the capture tool: %s; render it with: %s\n",
                     std::strerror(errno), t.command.c_str());
        return;
    }
    *slot = {pid, t.video, t.keys, t.command};
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
    ENDSSetKeeper(keepRecording);
    ENDSCatch();
    recording = true;
    recordFirst = frame > 0 ? frame : 1;
    std::snprintf(stamp, sizeof stamp, "00000000-000000");
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local);
    std::printf("velm4023: recording from frame %lld; F9 ends it\n", static_cast<long long>(recordFirst));
    std::fflush(stdout);
}

// Ends the show as an end from outside during a recording asked, once its
// keys are written; reports renders that ended since the last look. One cheap
// call a frame.
void SDLKBDRecordPoll() {
    ENDSPoll();
    for (Render& render : renders) {
        HOSTEXIT how{};
        if (render.pid != 0 && HOSTPoll(render.pid, &how)) reportEnd(render, how);
    }
}
