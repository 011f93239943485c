// CAPTURE: the pieces of velm4023-capture that do not need the running show:
// the command line, nearest-neighbour enlargement and the PPM writer (PNG files
// go through the display module's SDLDPYWritePNGBytes).
// The executable adds the present hook (grab.cpp) and its main() (main.cpp).
#pragma once

#include <cstdint>
#include <cstdio>

inline constexpr std::int32_t captureMaxScale = 16;
inline constexpr std::int32_t captureMaxFrame = 1000000000;   // keeps every count inside int32
inline constexpr std::int32_t captureMaxKeys = 4096;

struct CAPTUREKEY {
    std::int32_t frame;      // the key is read right after this frame is presented
    std::int32_t code;       // SDL key symbol pushed as SDL_KEYDOWN
};

struct CAPTUREOPTIONS {
    std::int32_t first;      // first frame written, counted from 1
    std::int32_t last;       // last frame written; the tool stops after it
    std::int32_t scale;      // 1 .. captureMaxScale
    const char* pngDir;      // null: no PNG files
    bool ppmStream;          // P6 images on standard output
    const char* wavPath;     // null: no WAV file of the frames' sound
    const char* videoPath;   // null: no video; .webm for VP9 and Opus, else H.264 and AAC
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
// A captured frame: width x height pixels, three bytes R, G, B each, rows top first.
struct CAPTUREFRAME {
    std::int32_t width;
    std::int32_t height;
    unsigned char* rgb;
};

struct SDL_Surface;
bool CAPTUREFromSurface(SDL_Surface* surface, CAPTUREFRAME* frame);                   // any depth; false if unreadable
bool CAPTUREScale(const CAPTUREFRAME* source, std::int32_t scale, CAPTUREFRAME* target);  // target->rgb is reallocated
void CAPTUREFrameFree(CAPTUREFRAME* frame);                                            // release rgb, size 0

// ---- Output -------------------------------------------------------------------
// Makes the directory when it is missing (one level) and checks that it takes files.
bool CAPTUREPrepareDir(const char* dir, char* error, std::size_t size);
bool CAPTUREWritePPM(std::FILE* stream, const CAPTUREFRAME* frame);                  // one P6 image

// ---- Sound and video ----------------------------------------------------------
// WAV: 16-bit stereo PCM at 44100 Hz, 882 sample frames per show frame.
bool CAPTUREWavStart(std::FILE* file, std::int64_t frames);        // header for that many sample frames
bool CAPTUREWavWrite(std::FILE* file, const std::int16_t* samples, std::int32_t frames);  // interleaved L, R
bool CAPTUREWavFinish(std::FILE* file, std::int64_t frames);       // true sizes when seekable; closes
bool CAPTUREHaveFFmpeg();                                          // an executable ffmpeg on the PATH
bool CAPTUREIsWebM(const char* path);                              // name ends in .webm
int CAPTURESpawn(char* const* argv, std::FILE** input);            // process id or -1; input: its stdin
bool CAPTUREWait(int pid);                                         // exited with status 0
