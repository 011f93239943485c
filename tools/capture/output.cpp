// Frames out of velm4023-capture: enlargement, the output directory and the
// PPM stream. PNG files go through the display module's writer.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "tools/capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTOUT ", "20261208", "Tordeval", "C++     ", "CODE    "};

// True when the frame has a sensible size and pixels.
bool frameValid(const CAPTUREFRAME* frame) {
    return frame != nullptr && frame->rgb != nullptr && frame->width > 0 && frame->height > 0 &&
           frame->width <= 65536 && frame->height <= 65536;
}
}  // namespace

// Enlarges source scale times into target (nearest neighbour); target's buffer is
// reused when it is big enough.
bool CAPTUREScale(const CAPTUREFRAME* source, std::int32_t scale, CAPTUREFRAME* target) {
    if (!frameValid(source) || target == nullptr || scale < 1 || scale > captureMaxScale ||
        source->width > 65536 / scale || source->height > 65536 / scale) {
        return false;
    }
    std::int32_t width = source->width * scale;
    std::int32_t height = source->height * scale;
    std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (target->rgb == nullptr || static_cast<std::size_t>(target->width) * static_cast<std::size_t>(target->height) * 3 < bytes) {
        unsigned char* rgb = static_cast<unsigned char*>(std::realloc(target->rgb, bytes));
        if (rgb == nullptr) {
            return false;
        }
        target->rgb = rgb;
    }
    target->width = width;
    target->height = height;
    std::size_t sourceStride = static_cast<std::size_t>(source->width) * 3;
    std::size_t targetStride = static_cast<std::size_t>(width) * 3;
    for (std::int32_t y = 0; y < source->height; y++) {
        const unsigned char* in = source->rgb + static_cast<std::size_t>(y) * sourceStride;
        unsigned char* row = target->rgb + static_cast<std::size_t>(y) * static_cast<std::size_t>(scale) * targetStride;
        unsigned char* out = row;
        for (std::int32_t x = 0; x < source->width; x++, in += 3) {
            for (std::int32_t k = 0; k < scale; k++, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        for (std::int32_t k = 1; k < scale; k++) {   // the other rows of the block repeat the first
            std::memcpy(row + static_cast<std::size_t>(k) * targetStride, row, targetStride);
        }
    }
    return true;
}

// Releases the frame's pixels and clears its size.
void CAPTUREFrameFree(CAPTUREFRAME* frame) {
    if (frame == nullptr) {
        return;
    }
    std::free(frame->rgb);
    *frame = CAPTUREFRAME{};
}

// Makes the directory when missing and checks that files can be made in it.
bool CAPTUREPrepareDir(const char* dir, char* error, std::size_t size) {
    if (dir == nullptr || dir[0] == '\0') {
        std::snprintf(error, size, "no output directory");
        return false;
    }
    struct stat status {};
    if (stat(dir, &status) != 0) {
        if (errno != ENOENT || mkdir(dir, 0777) != 0) {
            std::snprintf(error, size, "cannot make the output directory %s: %s", dir, std::strerror(errno));
            return false;
        }
    } else if (!S_ISDIR(status.st_mode)) {
        std::snprintf(error, size, "the output path %s is not a directory", dir);
        return false;
    }
    if (access(dir, W_OK | X_OK) != 0) {
        std::snprintf(error, size, "cannot write into the output directory %s: %s", dir, std::strerror(errno));
        return false;
    }
    return true;
}

// Writes one binary PPM image to the stream.
bool CAPTUREWritePPM(std::FILE* stream, const CAPTUREFRAME* frame) {
    if (stream == nullptr || !frameValid(frame)) {
        return false;
    }
    std::size_t bytes = static_cast<std::size_t>(frame->width) * static_cast<std::size_t>(frame->height) * 3;
    return std::fprintf(stream, "P6\n%d %d\n255\n", frame->width, frame->height) > 0 &&
           std::fwrite(frame->rgb, 1, bytes, stream) == bytes;
}

namespace {
// Splits path into its folder ("." when none) and checks the folder takes files.
bool folderTakesFiles(const char* option, const char* path, char* error, std::size_t size) {
    char folder[4096];
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::snprintf(folder, sizeof folder, ".");
    } else if (std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - path), path) >=
               static_cast<int>(sizeof folder)) {
        std::snprintf(error, size, "%s %s: the path is too long", option, path);
        return false;
    }
    if (folder[0] == '\0') std::snprintf(folder, sizeof folder, "/");
    struct stat status {};
    if (stat(folder, &status) != 0 || !S_ISDIR(status.st_mode)) {
        std::snprintf(error, size, "%s %s: the folder %s does not exist", option, path, folder);
        return false;
    }
    if (access(folder, W_OK | X_OK) != 0) {
        std::snprintf(error, size, "%s %s: cannot write into the folder %s: %s", option, path, folder,
                      std::strerror(errno));
        return false;
    }
    return true;
}

// True when the name ends in the extension, in any case.
bool endsWith(const char* path, const char* extension) {
    const std::size_t n = std::strlen(path), m = std::strlen(extension);
    return n > m && strcasecmp(path + n - m, extension) == 0;
}

// One output file: known extension, folder there and writable, not there yet.
bool checkFile(const char* option, const char* path, bool known, const char* extensions, bool overwrite,
               char* error, std::size_t size) {
    if (path == nullptr) return true;
    if (!known) {
        std::snprintf(error, size, "%s %s: unknown extension; use %s", option, path, extensions);
        return false;
    }
    if (!folderTakesFiles(option, path, error, size)) return false;
    struct stat status {};
    if (stat(path, &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            std::snprintf(error, size, "%s %s: is a folder", option, path);
            return false;
        }
        if (!overwrite) {
            std::snprintf(error, size, "%s %s: the file exists; give --overwrite to replace it", option, path);
            return false;
        }
    }
    return true;
}

// The first frame-NNNNNN.png of the range already in dir, or 0.
std::int32_t existingFrame(const char* dir, std::int32_t first, std::int32_t last) {
    DIR* listing = opendir(dir);
    if (listing == nullptr) return 0;
    std::int32_t found = 0;
    while (const dirent* entry = readdir(listing)) {
        unsigned frame = 0;
        char tail[8] = "";
        if (std::sscanf(entry->d_name, "frame-%u.%7s", &frame, tail) == 2 && std::strcmp(tail, "png") == 0 &&
            frame >= static_cast<unsigned>(first) && frame <= static_cast<unsigned>(last)) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "frame-%06u.png", frame);
            if (std::strcmp(expected, entry->d_name) == 0 &&
                (found == 0 || static_cast<std::int32_t>(frame) < found)) {
                found = static_cast<std::int32_t>(frame);
            }
        }
    }
    closedir(listing);
    return found;
}
}  // namespace

// The container a --video name asks for.
CAPTUREFORMAT CAPTUREVideoFormat(const char* path) {
    if (path == nullptr) return captureUnknown;
    if (endsWith(path, ".mp4")) return captureMp4;
    if (endsWith(path, ".mkv")) return captureMkv;
    if (endsWith(path, ".mov")) return captureMov;
    if (endsWith(path, ".webm")) return captureWebM;
    return captureUnknown;
}

// Every check that needs no frame; see capture.h.
bool CAPTURECheckOutputs(const CAPTUREOPTIONS* options, char* error, std::size_t size) {
    if (options == nullptr) return false;
    const bool over = options->overwrite;
    if (!checkFile("--wav", options->wavPath, options->wavPath != nullptr && endsWith(options->wavPath, ".wav"),
                   ".wav", over, error, size) ||
        !checkFile("--video", options->videoPath, CAPTUREVideoFormat(options->videoPath) != captureUnknown,
                   ".mp4, .mkv, .mov or .webm", over, error, size)) {
        return false;
    }
    if (options->pngDir != nullptr) {
        if (!CAPTUREPrepareDir(options->pngDir, error, size)) return false;
        const std::int32_t frame = over ? 0 : existingFrame(options->pngDir, options->first, options->last);
        if (frame != 0) {
            std::snprintf(error, size, "--png %s: frame-%06d.png exists; give --overwrite to replace it",
                          options->pngDir, frame);
            return false;
        }
    }
    if (options->videoPath != nullptr && !CAPTUREHaveFFmpeg()) {
        std::snprintf(error, size, "--video needs ffmpeg, which is not on the PATH (on Debian: apt-get install ffmpeg)");
        return false;
    }
    return true;
}
