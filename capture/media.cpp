// Sound and video out of velm4023-capture: the WAV writer and the two ffmpeg
// runs of --video (the frames encoded as they come, then joined with the
// sound, which is complete only when the last frame is).
#include <SDL.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/process.h"
#include "img/img.h"
#include "sound/synth.h"
#include "capture/capture.h"

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

using Args = std::vector<std::string>;

// True when an executable ffmpeg is on the PATH.
bool CAPTUREHaveFFmpeg() { return !HOSTFindProgram("ffmpeg").empty(); }

namespace {
// ffmpeg's words that every run starts with: quiet but for errors, and never
// reading the terminal.
Args ffmpegArgs() { return {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin"}; }

// The raw layout of an IMG's words in memory: 0x00RRGGBB is B, G, R, 0 on a
// little-endian machine.
const char* rawLayout() { return SDL_BYTEORDER == SDL_LIL_ENDIAN ? "bgr0" : "0rgb"; }

// Raw frames of the frame's size at 50 per second on standard input.
void rawInput(Args& args, const IMG* frame) {
    const std::string dimensions = std::to_string(frame->width) + "x" + std::to_string(frame->height);
    args.insert(args.end(), {"-f", "rawvideo", "-pix_fmt", rawLayout(), "-s", dimensions, "-framerate", "50", "-i", "-"});
}

// Starts ffmpeg with args, its errors into log; with input, *input gets a
// stream to its standard input. The process number, or -1.
int startFFmpeg(const Args& args, std::FILE** input, const char* log) {
    HOSTCHILD how{};
    how.input = input != nullptr;
    how.errorLog = log;
    return HOSTSpawn(args, how, input);
}

// Waits for a process; true when it exited with status 0.
bool finished(int pid) {
    HOSTEXIT how{};
    return pid > 0 && HOSTWait(pid, &how) && HOSTSucceeded(how);
}
}  // namespace

// ---- --video ----------------------------------------------------------------------
// ffmpeg encodes the frames as they come into a folder under $TMPDIR while the
// sound goes to a WAV beside them; at the end a second run copies the encoded
// picture, encodes the sound and writes the container beside the target, which
// is renamed into place. Nothing is ever encoded twice.

namespace {
struct Video {
    char folder[4096];
    char picture[4200];    // the encoded frames
    char sound[4200];      // the WAV
    char log[4200];        // ffmpeg's messages
    int folderSlot = -1, pictureSlot = -1, soundSlot = -1, logSlot = -1, pidSlot = -1;
    std::FILE* pipe = nullptr;
    std::FILE* wav = nullptr;
    int pid = -1;
};
Video video;

bool videoFail(char* error, std::size_t size, const char* what, const char* path) {
    std::snprintf(error, size, "%s %s: %s", what, path, std::strerror(errno));
    return false;
}

// What ffmpeg said last, for the one line that tells why it failed.
bool ffmpegFail(char* error, std::size_t size, const char* what) {
    char last[512] = "";
    if (std::FILE* log = std::fopen(video.log, "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, log) != nullptr) {
            line[std::strcspn(line, "\n")] = '\0';
            if (line[0] != '\0' && std::strncmp(line, "    Last message repeated", 25) != 0) {
                std::snprintf(last, sizeof last, "%s", line);
            }
        }
        std::fclose(log);
    }
    std::snprintf(error, size, "%s%s%s", what, last[0] != '\0' ? ": ffmpeg says: " : "", last);
    return false;
}
}  // namespace

// The temporary folder and the sound file; before the first frame.
bool CAPTUREVideoOpen(std::int64_t soundFrames, char* error, std::size_t size) {
    if (!CAPTUREMakeTempFolder(video.folder, sizeof video.folder)) {
        return videoFail(error, size, "cannot make a temporary folder in", CAPTURETempRoot());
    }
    video.folderSlot = CAPTURETrackFolder(video.folder);
    std::snprintf(video.sound, sizeof video.sound, "%s/sound.wav", video.folder);
    video.soundSlot = CAPTURETrackFile(video.sound);
    std::snprintf(video.log, sizeof video.log, "%s/ffmpeg.log", video.folder);
    video.logSlot = CAPTURETrackFile(video.log);
    video.wav = HOSTOpenWrite(video.sound);   // not inherited by the encoders
    if (video.wav == nullptr || !CAPTUREWavStart(video.wav, soundFrames)) {
        return videoFail(error, size, "cannot write", video.sound);
    }
    return true;
}


// Ends an encoder's input and waits for it: true when both went well.
bool closeEncoder(std::FILE*& pipe, int pid, int pidSlot) {
    const bool closed = std::fclose(pipe) == 0;
    pipe = nullptr;
    const bool ended = finished(pid);
    CAPTUREUntrack(pidSlot);
    return closed && ended;
}

// Writes the frame's words to an encoder's standard input.
bool feed(std::FILE* pipe, const IMG* frame) {
    const std::size_t words = static_cast<std::size_t>(frame->width) * static_cast<std::size_t>(frame->height);
    return std::fwrite(frame->pixels, sizeof *frame->pixels, words, pipe) == words;
}

// Starts the encoder on the first frame: raw frames of the frame's size at 50
// per second on its standard input. The x264 preset is chosen by measurement:
// a whole-cycle 1920 x 1080 video costs no more than ffmpeg's defaults alone.
bool CAPTUREVideoFrame(const CAPTUREOPTIONS* options, const IMG* frame) {
    if (video.pipe == nullptr) {
        const bool webm = CAPTUREVideoFormat(options->videoPath) == captureWebM;
        const std::string crf = std::to_string(options->crf >= 0 ? options->crf : webm ? captureCrfVP9 : captureCrfH264);
        std::snprintf(video.picture, sizeof video.picture, "%s/picture.%s", video.folder, webm ? "webm" : "mkv");
        video.pictureSlot = CAPTURETrackFile(video.picture);
        Args args = ffmpegArgs();
        rawInput(args, frame);
        if (webm) {
            args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", crf, "-b:v", "0", "-row-mt", "1"});
        } else {
            args.insert(args.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", crf});
        }
        args.insert(args.end(), {"-pix_fmt", "yuv420p", video.picture});
        video.pid = startFFmpeg(args, &video.pipe, video.log);
        if (video.pid < 0 || video.pipe == nullptr) return false;
        video.pidSlot = CAPTURETrackProcess(video.pid);
    }
    return feed(video.pipe, frame);
}

// Why the encoder stopped taking frames, from its own last words.
void CAPTUREVideoWhy(char* error, std::size_t size) {
    if (video.pipe != nullptr) {
        std::fclose(video.pipe);
        video.pipe = nullptr;
        finished(video.pid);
        CAPTUREUntrack(video.pidSlot);
    }
    ffmpegFail(error, size, "ffmpeg stopped taking frames");
}

// The sound of one written frame.
bool CAPTUREVideoSound(const std::int16_t* samples, std::int32_t frames) {
    return video.wav != nullptr && CAPTUREWavWrite(video.wav, samples, frames);
}

// Ends the encoder, joins picture and sound beside the target and renames the
// result into place. False with one line in error.
bool CAPTUREVideoClose(const CAPTUREOPTIONS* options, std::int64_t soundFrames, char* error, std::size_t size) {
    const char* target = options->videoPath;
    bool ok = true;
    if (video.pipe != nullptr) {
        ok = closeEncoder(video.pipe, video.pid, video.pidSlot);
        if (!ok) ffmpegFail(error, size, "ffmpeg could not encode the frames");
    } else {
        ok = false;
        std::snprintf(error, size, "no frame to put into %s", target);
    }
    if (!CAPTUREWavFinish(video.wav, soundFrames) && ok) {
        ok = videoFail(error, size, "cannot write", video.sound);
    }
    video.wav = nullptr;
    char joined[4200];
    if (ok) {
        std::FILE* made = CAPTURETempBeside(target, joined, sizeof joined);
        if (made == nullptr) ok = videoFail(error, size, "cannot write beside", target);
        else std::fclose(made);
    }
    if (ok) {
        const CAPTUREFORMAT format = CAPTUREVideoFormat(target);
        const bool webm = format == captureWebM;
        const char* muxer = format == captureMp4 ? "mp4" : format == captureMov ? "mov" : webm ? "webm" : "matroska";
        Args args = ffmpegArgs();
        args.insert(args.end(), {"-y", "-i", video.picture, "-i", video.sound, "-map", "0:v", "-map", "1:a",
                                 "-c:v", "copy", "-c:a", webm ? "libopus" : "aac", "-b:a", webm ? "128k" : "160k"});
        if (format == captureMp4 || format == captureMov) args.insert(args.end(), {"-movflags", "+faststart"});
        args.insert(args.end(), {"-f", muxer, joined});
        const int pid = startFFmpeg(args, nullptr, video.log);
        const int slot = CAPTURETrackProcess(pid);
        ok = finished(pid);
        CAPTUREUntrack(slot);
        if (!ok) ffmpegFail(error, size, "ffmpeg could not join the picture and sound");
        if (ok && !CAPTURECommit(joined, target, options->overwrite)) {
            ok = videoFail(error, size, "cannot put the video in place at", target);
        }
    }
    for (const char* path : {video.picture, video.sound, video.log}) CAPTURERemovePath(path);
    CAPTURERemoveFolder(video.folder);
    for (int slot : {video.pictureSlot, video.soundSlot, video.logSlot, video.folderSlot}) CAPTUREUntrack(slot);
    return ok;
}

// ---- --gif --------------------------------------------------------------------------
// One ffmpeg run: the frames are split, one copy builds the clip's palette, the
// other is mapped onto it; the GIF goes beside the target and is renamed in place.

namespace {
struct Gif {
    char temp[4200];
    char log[4200];
    int pidSlot = -1;
    std::FILE* pipe = nullptr;
    int pid = -1;
};
Gif gif;
}  // namespace

bool CAPTUREGifFrame(const CAPTUREOPTIONS* options, const IMG* frame) {
    if (gif.pipe == nullptr) {
        std::FILE* made = CAPTURETempBeside(options->gifPath, gif.temp, sizeof gif.temp);
        if (made == nullptr) return false;
        std::fclose(made);
        // ffmpeg's messages go to a tracked file of its own under the temporary root.
        char logName[4200];
        std::snprintf(logName, sizeof logName, "%s/velm4023-capture-gif.log", CAPTURETempRoot());
        std::FILE* log = CAPTURETempBeside(logName, gif.log, sizeof gif.log);
        if (log == nullptr) return false;
        std::fclose(log);
        Args args = ffmpegArgs();
        args.push_back("-y");
        rawInput(args, frame);
        args.insert(args.end(), {"-filter_complex", "split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse",
                                 "-f", "gif", gif.temp});
        gif.pid = startFFmpeg(args, &gif.pipe, gif.log);
        if (gif.pid < 0 || gif.pipe == nullptr) return false;
        gif.pidSlot = CAPTURETrackProcess(gif.pid);
    }
    return feed(gif.pipe, frame);
}

bool CAPTUREGifClose(const CAPTUREOPTIONS* options, char* error, std::size_t size) {
    bool ok = gif.pipe != nullptr;
    if (!ok) std::snprintf(error, size, "no frame to put into %s", options->gifPath);
    if (gif.pipe != nullptr) {
        ok = closeEncoder(gif.pipe, gif.pid, gif.pidSlot);
        if (!ok) {
            std::snprintf(video.log, sizeof video.log, "%s", gif.log);
            ffmpegFail(error, size, "ffmpeg could not make the GIF");
        }
    }
    if (ok && !CAPTURECommit(gif.temp, options->gifPath, options->overwrite)) {
        ok = videoFail(error, size, "cannot put the GIF in place at", options->gifPath);
    }
    CAPTURERemovePath(gif.temp);
    CAPTURERemovePath(gif.log);
    return ok;
}

// ---- Progress -------------------------------------------------------------------------

namespace {
bool progressShown = false;
std::int64_t progressStart = 0;   // microseconds, monotonic
std::int64_t progressLast = 0;
std::int32_t progressFrom = 0;    // frames already done at the start

std::int64_t now() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

void CAPTUREProgress(std::int32_t frame, std::int32_t first, std::int32_t last, bool force) {
    const std::int64_t t = now();
    if (progressStart == 0) {
        progressStart = t;
        progressFrom = frame;
        return;
    }
    if (!force && t - progressLast < 500000) return;
    progressLast = t;
    const double seconds = static_cast<double>(t - progressStart) / 1e6;
    const double rate = seconds > 0 ? (frame - progressFrom) / seconds : 0;
    const double left = rate > 0 ? (last - frame) / rate : 0;
    const int percent = static_cast<int>(100 * std::int64_t{frame} / last);
    std::fprintf(stderr, "\rvelm4023-capture: frame %d of %d (%d%%%s), %.0f fps, %d:%02d left ", frame, last,
                 percent, frame < first ? ", before the first written" : "", rate, static_cast<int>(left) / 60,
                 static_cast<int>(left) % 60);
    progressShown = true;
}

void CAPTUREProgressEnd() {
    if (progressShown) std::fputc('\n', stderr);
    progressShown = false;
}
