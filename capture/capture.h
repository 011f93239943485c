// CAPTURE: the pieces of velm4023-capture that do not need the running show:
// the command line, the frame's enlargement and placement (the image module's
// IMGScale and a centred copy), the writers and ffmpeg (PNG files go through
// the image module's IMGSavePNG).
// The executable adds the present hook (grab.cpp) and its main() (main.cpp).
// ffmpeg runs through host/process.h; the temporary files, signals and
// terminal are the Linux side, capture/linux/files.cpp.
#pragma once

#include <cstdint>
#include <cstdio>

#include "img/img.h"

inline constexpr std::int32_t captureMaxScale = 16;
inline constexpr std::int32_t captureMaxFrame = 1000000000;   // keeps every count inside int32
inline constexpr std::int32_t captureMaxKeys = 65536;   // as many as the show keeps for a recording
inline constexpr std::int32_t captureMaxFit = 16384;
inline constexpr std::int32_t captureCrfH264 = 20;   // defaults, chosen by measurement (see --help)
inline constexpr std::int32_t captureCrfVP9 = 34;

struct CAPTUREKEY {
    std::int32_t frame;      // the key is read right after this frame is presented
    std::int32_t code;       // SDL key symbol pushed as SDL_KEYDOWN
};

struct CAPTUREOPTIONS {
    std::int32_t first;      // first frame written, counted from 1
    std::int32_t last;       // last frame written; the tool stops after it
    std::int32_t scale;      // 1 .. captureMaxScale
    std::int32_t fitWidth;   // --fit: canvas size, 0 when not given; the frame is
    std::int32_t fitHeight;  //   enlarged by the largest whole number that fits and centred
    std::int32_t crf;        // --crf: video quality, -1 for the codec's default below
    const char* pngDir;      // null: no PNG files
    bool ppmStream;          // P6 images on standard output
    const char* wavPath;     // null: no WAV file of the frames' sound
    const char* videoPath;   // null: no video; .webm for VP9 and Opus, else H.264 and AAC
    const char* gifPath;     // null: no animated GIF
    bool overwrite;          // replace existing outputs instead of refusing them
    bool help;               // print the usage and stop
    std::int32_t keyCount;
    CAPTUREKEY keys[captureMaxKeys];   // sorted by frame, at most one per frame
};

// ---- Command line -----------------------------------------------------------
// Fills the options from argv (argv[0] is skipped). Returns true when they are
// usable; otherwise writes one line explaining why into error (size bytes).
bool CAPTUREParseArgs(int argc, char** argv, CAPTUREOPTIONS* options, char* error, std::size_t size);
std::int32_t CAPTUREKeyCode(const char* name);          // key name or code to a key symbol; 0 if unknown
const char* CAPTUREUsage();                             // the --help text

// ---- Frames -------------------------------------------------------------------
struct SDL_Surface;
// The surface, any depth, as 0x00RRGGBB words into frame (resized when its
// size differs); false when unreadable.
bool CAPTUREFromSurface(SDL_Surface* surface, IMG* frame);
// The frame as written: itself, enlarged --scale times into scaled, or with
// --fit enlarged by the largest whole number that fits and centred on the black
// canvas. Null when it does not fit or memory is short.
const IMG* CAPTURECompose(const IMG* frame, const CAPTUREOPTIONS* options, IMG* scaled, IMG* canvas);

// ---- Output -------------------------------------------------------------------
// Makes the directory when it is missing (one level) and checks that it takes files.
bool CAPTUREPrepareDir(const char* dir, char* error, std::size_t size);
// Everything that can be checked before the first frame: each output's folder
// exists and takes files, its name ends in a known extension, it does not exist
// yet (unless overwrite), and ffmpeg is there when needed. False with one line.
bool CAPTURECheckOutputs(const CAPTUREOPTIONS* options, char* error, std::size_t size);
enum CAPTUREFORMAT { captureMp4, captureMkv, captureMov, captureWebM, captureUnknown };
CAPTUREFORMAT CAPTUREVideoFormat(const char* path);   // by the name's extension, any case

// ---- Temporary files and the host (capture/linux/files.cpp) -------------------------
// Outputs are made beside their target and renamed into place when whole;
// every temporary file, folder and ffmpeg run is tracked and removed on any
// failure, Ctrl+C, kill or hang-up.
void CAPTUREGuardSignals();                          // SIGPIPE ignored; SIGINT, SIGTERM, SIGHUP clean up
int CAPTURETrackFile(const char* path);              // slot, or -1 when the table is full
int CAPTURETrackFolder(const char* path);
int CAPTURETrackProcess(int pid);
void CAPTUREUntrack(int slot);
void CAPTURERemoveTemporaries();                     // stop the processes, remove files, then folders
std::FILE* CAPTURETempBeside(const char* target, char* temp, std::size_t size);  // a new tracked file, open
bool CAPTUREMakeTempFolder(char* folder, std::size_t size);   // under CAPTURETempRoot; the caller tracks it
void CAPTURERemovePath(const char* path);            // a file; nothing when there is none
void CAPTURERemoveFolder(const char* path);          // an empty folder
bool CAPTUREMayWriteInto(const char* folder);        // new files can be made there (errno says why not)
bool CAPTUREIsTerminal(std::FILE* stream);
std::FILE* CAPTURETakeStdout();                      // standard output for the image stream; the rest to stderr
bool CAPTURECommit(const char* temp, const char* target, bool overwrite);   // rename into place
const char* CAPTURETempRoot();                       // $TMPDIR, else /tmp
bool CAPTUREWritePPM(std::FILE* stream, const IMG* frame);                          // one P6 image

// ---- Sound and video ----------------------------------------------------------
// WAV: 16-bit stereo PCM at 44100 Hz, 882 sample frames per show frame.
bool CAPTUREWavStart(std::FILE* file, std::int64_t frames);        // header for that many sample frames
bool CAPTUREWavWrite(std::FILE* file, const std::int16_t* samples, std::int32_t frames);  // interleaved L, R
bool CAPTUREWavFinish(std::FILE* file, std::int64_t frames);       // true sizes when seekable; closes
bool CAPTUREHaveFFmpeg();                                          // an executable ffmpeg on the PATH
// ffmpeg runs as a child through host/process.h.
// --video: temporary folder and sound first, then the frames and their sound,
// then the close, which joins the two and puts the file in place.
bool CAPTUREVideoOpen(std::int64_t soundFrames, char* error, std::size_t size);
bool CAPTUREVideoFrame(const CAPTUREOPTIONS* options, const IMG* frame);
void CAPTUREVideoWhy(char* error, std::size_t size);   // after a failed frame: ffmpeg's last words
bool CAPTUREVideoSound(const std::int16_t* samples, std::int32_t frames);
bool CAPTUREVideoClose(const CAPTUREOPTIONS* options, std::int64_t soundFrames, char* error, std::size_t size);
// --gif: frames through ffmpeg's palette filters (one palette for the clip,
// 2 hundredths of a second a frame) into a file beside the target.
bool CAPTUREGifFrame(const CAPTUREOPTIONS* options, const IMG* frame);
bool CAPTUREGifClose(const CAPTUREOPTIONS* options, char* error, std::size_t size);

// ---- Progress ---------------------------------------------------------------------
// "frame N of LAST, F fps, T left" on standard error, rewritten in place at most
// twice a second; the caller shows it only on a terminal.
void CAPTUREProgress(std::int32_t frame, std::int32_t first, std::int32_t last, bool force);
void CAPTUREProgressEnd();                       // ends the line when one was shown
