// The command line of velm4023-capture: frame range, keys, outputs and scale.
#include <SDL/SDL_keysym.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "platform/keysfile.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTOPT ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Writes one formatted line into the caller's error buffer and returns false.
bool fail(char* error, std::size_t size, const char* format, ...) {
    if (error != nullptr && size > 0) {
        std::va_list args;
        va_start(args, format);
        std::vsnprintf(error, size, format, args);
        va_end(args);
    }
    return false;
}

// Reads the decimal number in text[0 .. length) into value; only digits, at most
// captureMaxFrame, so nothing can overflow.
bool parseNumber(const char* text, std::size_t length, std::int32_t* value) {
    if (length == 0 || length > 10) {
        return false;
    }
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        sum = sum * 10 + (text[i] - '0');
    }
    if (sum > captureMaxFrame) {
        return false;
    }
    *value = static_cast<std::int32_t>(sum);
    return true;
}

// "FIRST:LAST" or a single frame "N".
bool parseFrames(const char* text, CAPTUREOPTIONS* options, char* error, std::size_t size) {
    const char* colon = std::strchr(text, ':');
    std::size_t firstLength = colon != nullptr ? static_cast<std::size_t>(colon - text) : std::strlen(text);
    const char* lastText = colon != nullptr ? colon + 1 : text;
    std::int32_t first = 0;
    std::int32_t last = 0;
    if (!parseNumber(text, firstLength, &first) || !parseNumber(lastText, std::strlen(lastText), &last)) {
        return fail(error, size, "--frames wants FIRST:LAST, two frame numbers from 1 to %d, not \"%s\"",
                    captureMaxFrame, text);
    }
    if (first < 1 || last < first) {
        return fail(error, size, "--frames \"%s\": frames count from 1 and FIRST may not exceed LAST", text);
    }
    options->first = first;
    options->last = last;
    return true;
}

// Adds one FRAME:KEY entry, given as text[0 .. length).
bool parseKey(const char* text, std::size_t length, CAPTUREOPTIONS* options, char* error, std::size_t size) {
    char entry[64];
    if (length == 0) {
        return fail(error, size, "--keys has an empty entry; it wants FRAME:KEY entries separated by commas");
    }
    if (length >= sizeof entry) {
        return fail(error, size, "--keys entry \"%.20s...\" is longer than %d characters", text,
                    static_cast<int>(sizeof entry) - 1);
    }
    std::memcpy(entry, text, length);
    entry[length] = '\0';
    const char* colon = std::strchr(entry, ':');
    std::int32_t frame = 0;
    if (colon == nullptr || !parseNumber(entry, static_cast<std::size_t>(colon - entry), &frame) || frame < 1) {
        return fail(error, size, "--keys entry \"%s\": wants FRAME:KEY with a frame number from 1", entry);
    }
    std::int32_t code = CAPTUREKeyCode(colon + 1);
    if (code == 0) {
        return fail(error, size,
                    "--keys entry \"%s\": unknown key \"%s\" (use space, escape, a single character "
                    "or a decimal key code from 10 to %d)",
                    entry, colon + 1, static_cast<int>(SDLK_LAST) - 1);
    }
    if (options->keyCount >= captureMaxKeys) {
        return fail(error, size, "--keys: more than %d keys", captureMaxKeys);
    }
    std::int32_t at = options->keyCount;   // insert in frame order; a keys file comes sorted
    while (at > 0 && options->keys[at - 1].frame > frame) {
        at--;
    }
    // The show reads one key per frame, so a second key at the same frame could
    // never take effect.
    if (at > 0 && options->keys[at - 1].frame == frame) {
        return fail(error, size, "--keys: two keys at frame %d; the show reads one key per frame", frame);
    }
    for (std::int32_t i = options->keyCount; i > at; i--) {
        options->keys[i] = options->keys[i - 1];
    }
    options->keys[at] = {frame, code};
    options->keyCount++;
    return true;
}

// Where the entries of a keys file go, and the first refusal.
struct KeysTarget {
    CAPTUREOPTIONS* options;
    char* error;
    std::size_t size;
};

bool takeKey(const char* entry, std::size_t length, void* context) {
    auto* target = static_cast<KeysTarget*>(context);
    return parseKey(entry, length, target->options, target->error, target->size);
}

// "@FILE": the keys file's entries (platform/keysfile.h).
bool parseKeysFile(const char* path, CAPTUREOPTIONS* options, char* error, std::size_t size) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return fail(error, size, "--keys @%s: %s", path, std::strerror(errno));
    }
    KeysTarget target = {options, error, size};
    const int read = KEYSReadEntries(file, takeKey, &target);
    std::fclose(file);
    if (read == 0) return false;
    return read > 0 || fail(error, size, "--keys @%s: cannot read the file", path);
}

// "FRAME:KEY,FRAME:KEY,..." or "@FILE".
bool parseKeys(const char* text, CAPTUREOPTIONS* options, char* error, std::size_t size) {
    if (text[0] == '@') {
        return parseKeysFile(text + 1, options, error, size);
    }
    const char* start = text;
    for (;;) {
        const char* comma = std::strchr(start, ',');
        std::size_t length = comma != nullptr ? static_cast<std::size_t>(comma - start) : std::strlen(start);
        if (!parseKey(start, length, options, error, size)) {
            return false;
        }
        if (comma == nullptr) {
            return true;
        }
        start = comma + 1;
    }
}

// Splits "--name=value" or takes the next argument as the value; null when missing.
const char* optionValue(const char* arg, std::size_t nameLength, int argc, char** argv, int* index) {
    if (arg[nameLength] == '=') {
        return arg + nameLength + 1;
    }
    if (*index + 1 >= argc) {
        return nullptr;
    }
    *index += 1;
    return argv[*index];
}

// True when arg is the option name, alone or followed by "=value".
bool isOption(const char* arg, const char* name) {
    std::size_t length = std::strlen(name);
    return std::strncmp(arg, name, length) == 0 && (arg[length] == '\0' || arg[length] == '=');
}
}  // namespace

// Key name, single printable character or decimal key code to an SDL key
// symbol (the keys file's names, platform/keysfile.h).
std::int32_t CAPTUREKeyCode(const char* name) {
    const std::int32_t code = KEYSCode(name, SDLK_LAST);
    // F9 would start a recording inside the capture, which renders one itself.
    return code == SDLK_F9 ? 0 : code;
}

// Fills the options from the command line; see capture.h.
bool CAPTUREParseArgs(int argc, char** argv, CAPTUREOPTIONS* options, char* error, std::size_t size) {
    if (options == nullptr || argv == nullptr) {
        return fail(error, size, "internal error: no options");
    }
    *options = CAPTUREOPTIONS{};
    options->scale = 1;
    options->crf = -1;
    bool scaleGiven = false;
    for (int i = 1; i < argc && argv[i] != nullptr; i++) {   // --help anywhere wins
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            options->help = true;
            return true;
        }
    }
    bool framesGiven = false;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            break;
        }
        if (std::strcmp(arg, "--ppm-stream") == 0) {
            options->ppmStream = true;
            continue;
        }
        if (std::strcmp(arg, "--overwrite") == 0) {
            options->overwrite = true;
            continue;
        }
        const char* names[] = {"--frames", "--keys", "--png", "--scale", "--wav", "--video", "--gif", "--fit", "--crf"};
        const char* name = nullptr;
        for (const char* candidate : names) {
            if (isOption(arg, candidate)) {
                name = candidate;
            }
        }
        if (name == nullptr) {
            return fail(error, size, "unknown argument \"%s\"", arg);
        }
        const char* value = optionValue(arg, std::strlen(name), argc, argv, &i);
        if (value == nullptr) {
            return fail(error, size, "%s needs a value", name);
        }
        if (std::strcmp(name, "--frames") == 0) {
            if (framesGiven) {
                return fail(error, size, "--frames given twice; give one FIRST:LAST range");
            }
            if (!parseFrames(value, options, error, size)) {
                return false;
            }
            framesGiven = true;
        } else if (std::strcmp(name, "--keys") == 0) {
            if (!parseKeys(value, options, error, size)) {
                return false;
            }
        } else if (std::strcmp(name, "--wav") == 0 || std::strcmp(name, "--video") == 0 ||
                   std::strcmp(name, "--gif") == 0) {
            if (value[0] == '\0') {
                return fail(error, size, "%s needs a file name", name);
            }
            (name[2] == 'w' ? options->wavPath : name[2] == 'v' ? options->videoPath : options->gifPath) = value;
        } else if (std::strcmp(name, "--fit") == 0) {
            const char* x = std::strchr(value, 'x');
            std::int32_t w = 0, h = 0;
            if (x == nullptr || !parseNumber(value, static_cast<std::size_t>(x - value), &w) ||
                !parseNumber(x + 1, std::strlen(x + 1), &h) || w < 1 || h < 1 || w > captureMaxFit ||
                h > captureMaxFit) {
                return fail(error, size, "--fit wants WIDTHxHEIGHT, each from 1 to %d, not \"%s\"", captureMaxFit,
                            value);
            }
            options->fitWidth = w;
            options->fitHeight = h;
        } else if (std::strcmp(name, "--crf") == 0) {
            std::int32_t crf = 0;
            if (!parseNumber(value, std::strlen(value), &crf) || crf > 63) {
                return fail(error, size, "--crf wants a whole number from 0 to 51 (63 for .webm), not \"%s\"", value);
            }
            options->crf = crf;
        } else if (std::strcmp(name, "--png") == 0) {
            if (value[0] == '\0') {
                return fail(error, size, "--png needs a directory");
            }
            options->pngDir = value;
        } else {
            std::int32_t scale = 0;
            if (!parseNumber(value, std::strlen(value), &scale) || scale < 1 || scale > captureMaxScale) {
                return fail(error, size, "--scale wants a whole number from 1 to %d, not \"%s\"", captureMaxScale,
                            value);
            }
            options->scale = scale;
            scaleGiven = true;
        }
    }
    if (!framesGiven) {
        return fail(error, size, "--frames FIRST:LAST is required");
    }
    if (options->pngDir == nullptr && !options->ppmStream && options->wavPath == nullptr &&
        options->videoPath == nullptr && options->gifPath == nullptr) {
        return fail(error, size, "nothing to write: give --png DIR, --ppm-stream, --wav FILE, --video FILE or --gif FILE");
    }
    if (scaleGiven && options->fitWidth > 0) {
        return fail(error, size, "--fit and --scale exclude each other: --fit chooses the scale");
    }
    if (options->fitWidth > 0 && (options->fitWidth < 256 || options->fitHeight < 256)) {
        return fail(error, size, "--fit %dx%d: the 256 x 256 frame does not fit", options->fitWidth, options->fitHeight);
    }
    if (options->fitWidth > 0 && options->videoPath != nullptr && (options->fitWidth % 2 != 0 || options->fitHeight % 2 != 0)) {
        return fail(error, size, "--fit %dx%d: a video's width and height must be even", options->fitWidth,
                    options->fitHeight);
    }
    if (options->crf >= 0 && options->videoPath == nullptr) {
        return fail(error, size, "--crf sets the quality of --video; there is no --video");
    }
    if (options->crf > 51 && options->videoPath != nullptr && CAPTUREVideoFormat(options->videoPath) != captureWebM) {
        return fail(error, size, "--crf %d: H.264 takes 0 to 51", options->crf);
    }
    return true;
}

// The --help text.
const char* CAPTUREUsage() {
    return "Usage: velm4023-capture --frames FIRST:LAST [--keys FRAME:KEY,...|@FILE]\n"
           "                        [--png DIR] [--ppm-stream] [--wav FILE] [--video FILE]\n"
           "                        [--gif FILE] [--scale N | --fit WxH] [--crf N] [--overwrite]\n"
           "\n"
           "Runs the show headless on a virtual clock (50 frames per second of show time,\n"
           "as fast as the machine allows) and writes the chosen frames.\n"
           "\n"
           "  --frames FIRST:LAST  frames to write, counted from 1, the first frame the show\n"
           "                       presents; fade frames after a quit count too. A single\n"
           "                       number N means N:N. The tool stops after LAST.\n"
           "  --keys FRAME:KEY,... press KEY just before the key read of FRAME (the key is\n"
           "                       read right after the frame is shown, so it acts from\n"
           "                       FRAME+1 on) and release it one frame later. KEY is space,\n"
           "                       escape, return, tab, backspace, comma, colon, a single\n"
           "                       printable character (q, f, 1, 2, 3, 6, 9, 0, ...) or a\n"
           "                       decimal key code from 10 to 322 (27 is Escape).\n"
           "                       One key per frame; the option may be repeated.\n"
           "  --keys @FILE         the same entries read from FILE, separated by commas or\n"
           "                       line ends; # starts a comment. Mixes with inline entries.\n"
           "  --png DIR            one PNG per frame, DIR/frame-000001.png and so on; DIR is\n"
           "                       made when missing (one level).\n"
           "  --ppm-stream         binary PPM (P6) images one after another on standard\n"
           "                       output, for example:\n"
           "                         velm4023-capture --frames 1:4001 --ppm-stream |\n"
           "                           ffmpeg -f image2pipe -c:v ppm -framerate 50 -i - show.mp4\n"
           "  --wav FILE           the sound of exactly those frames, 882 sample frames\n"
           "                       (44100 Hz, 16-bit stereo) per frame, as the show plays it.\n"
           "  --video FILE         frames and sound through ffmpeg: a .webm file gets VP9\n"
           "                       and Opus, .mp4, .mkv or .mov H.264 (yuv420p) and AAC. The\n"
           "                       frames are encoded once; picture and sound are joined by\n"
           "                       copying. For example\n"
           "                         velm4023-capture --frames 1002:1501 --video part2.mp4\n"
           "  --gif FILE           an animated GIF through ffmpeg's palette filters: one\n"
           "                       palette for the clip, 2 hundredths of a second a frame.\n"
           "                       Meant for short clips: ffmpeg holds every frame until the\n"
           "                       palette is made.\n"
           "  --scale N            enlarge every frame N times, nearest neighbour (1 to 16).\n"
           "  --fit WxH            enlarge every frame by the largest whole number that fits\n"
           "                       W x H and centre it on black: --fit 1920x1080 gives the\n"
           "                       frame at 4x, 1024 x 1024, at 448, 28. Excludes --scale.\n"
           "  --crf N              video quality, lower is better and larger: H.264 0 to 51,\n"
           "                       default 20 (measured on the show's frames at 4x: SSIM\n"
           "                       0.986 to 0.990 against the exact frames, where 23 gives\n"
           "                       0.980 and 16 costs 10 to 70 % more bytes); VP9 0 to 63,\n"
           "                       default 34.\n"
           "  --overwrite          replace outputs that exist; without it an existing file\n"
           "                       (or PNG frame of the range) is refused before rendering.\n"
           "  --help               this text.\n"
           "\n"
           "On a terminal a progress line (frame N of LAST, frames per second, time left)\n"
           "is kept up to date on standard error.\n"
           "\n"
           "Outputs are written beside their target under a hidden name and renamed into\n"
           "place when whole; temporary files go under $TMPDIR (else /tmp). A failure,\n"
           "Ctrl+C or kill leaves no partial output and no temporary file.\n"
           "\n"
           "Exit status: 0 when done (also when the show quit before LAST, which is said on\n"
           "standard error), 1 when an output failed half-way, 2 for bad arguments and\n"
           "for every output refused before rendering (exists, no folder, unknown\n"
           "extension, no ffmpeg). Ctrl+C and kill end the tool by their signal.\n";
}
