// Sound and video out of velm4023-capture: the WAV writer and the two ffmpeg
// runs of --video (the frames encoded as they come, then joined with the
// sound, which is complete only when the last frame is).
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "sound/synth.h"
#include "tools/capture/capture.h"

extern char** environ;

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTMEDI", "20261208", "Tordeval", "C++     ", "CODE    "};

void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// The 44-byte header of 16-bit stereo PCM at the synth's rate.
void wavHeader(unsigned char* h, std::int64_t frames) {
    const std::int64_t maxFrames = (0xFFFFFFFFll - 36) / 4;
    const auto bytes = static_cast<std::uint32_t>((frames < maxFrames ? frames : maxFrames) * 4);
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, 2);  // channels
    put32(h + 24, SYNTH_RATE);
    put32(h + 28, SYNTH_RATE * 4);
    put16(h + 32, 4);   // bytes per sample frame
    put16(h + 34, 16);  // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, bytes);
}
}  // namespace

// ---- WAV ----------------------------------------------------------------------

bool CAPTUREWavStart(std::FILE* file, std::int64_t frames) {
    unsigned char header[44];
    wavHeader(header, frames);
    return file != nullptr && std::fwrite(header, sizeof header, 1, file) == 1;
}

// Writes the samples little-endian whatever the machine's byte order.
bool CAPTUREWavWrite(std::FILE* file, const std::int16_t* samples, std::int32_t frames) {
    unsigned char bytes[4 * SYNTH_FRAME];
    for (std::int32_t done = 0; done < frames;) {
        const std::int32_t n = frames - done < SYNTH_FRAME ? frames - done : SYNTH_FRAME;
        for (std::int32_t i = 0; i < 2 * n; i++)
            put16(bytes + 2 * i, static_cast<std::uint16_t>(samples[2 * done + i]));
        if (std::fwrite(bytes, 4, static_cast<std::size_t>(n), file) != static_cast<std::size_t>(n)) return false;
        done += n;
    }
    return true;
}

// Rewrites the header with the frames really written (when the show ended
// early), flushes and closes. A stream that cannot seek keeps its first header.
bool CAPTUREWavFinish(std::FILE* file, std::int64_t frames) {
    if (file == nullptr) return false;
    bool ok = std::fflush(file) == 0;
    if (ok && std::fseek(file, 0, SEEK_SET) == 0) {
        unsigned char header[44];
        wavHeader(header, frames);
        ok = std::fwrite(header, sizeof header, 1, file) == 1;
    }
    return std::fclose(file) == 0 && ok;
}

// ---- ffmpeg ---------------------------------------------------------------------

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

// True when the file name ends in ".webm" (VP9 and Opus); otherwise MP4 (H.264 and AAC).
bool CAPTUREIsWebM(const char* path) {
    const std::size_t n = path ? std::strlen(path) : 0;
    return n >= 5 && std::strcmp(path + n - 5, ".webm") == 0;
}

// Starts ffmpeg with argv; when input is not null it gets a stream writing to
// ffmpeg's standard input. Returns the process id, or -1.
int CAPTURESpawn(char* const* argv, std::FILE** input) {
    int fds[2] = {-1, -1};
    if (input != nullptr && pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    }
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
