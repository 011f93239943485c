// Frames out of velm4023-capture: enlargement, the output directory and the
// PPM stream. PNG files go through the display module's writer.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/files.h"
#include "img/img.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"CAPTOUT ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Gives image the size, keeping its pixels when the size is already right.
bool sized(IMG* image, std::int32_t width, std::int32_t height) {
    if (image->pixels == nullptr || image->width != width || image->height != height) {
        IMGResize(image, width, height);   // cleared to black
    }
    return image->pixels != nullptr && image->width == width && image->height == height;
}
}  // namespace

// The frame as written; see capture.h. The canvas's border is cleared once,
// when it is sized, and the centred copy covers the same place every frame.
const IMG* CAPTURECompose(const IMG* frame, const CAPTUREOPTIONS* options, IMG* scaled, IMG* canvas) {
    if (frame == nullptr || options == nullptr || frame->pixels == nullptr || frame->width <= 0 || frame->height <= 0) {
        return nullptr;
    }
    std::int32_t scale = options->scale;
    if (options->fitWidth > 0) {
        const std::int32_t across = options->fitWidth / frame->width, down = options->fitHeight / frame->height;
        scale = across < down ? across : down;
        if (scale < 1 || scale > captureMaxFit) return nullptr;
    }
    if (scale < 1 || std::int64_t{frame->width} * scale > captureMaxFit ||
        std::int64_t{frame->height} * scale > captureMaxFit) {
        return nullptr;
    }
    const IMG* big = frame;
    if (scale > 1) {
        if (scaled == nullptr || !sized(scaled, frame->width * scale, frame->height * scale)) return nullptr;
        IMGScale(frame, scaled);
        big = scaled;
    }
    if (options->fitWidth <= 0) return big;
    if (canvas == nullptr || !sized(canvas, options->fitWidth, options->fitHeight)) return nullptr;
    IMGBlitOpaque(big, canvas, 0, 0, (canvas->width - big->width) / 2, (canvas->height - big->height) / 2, big->width,
                  big->height);
    return canvas;
}

// Makes the directory when missing and checks that files can be made in it.
bool CAPTUREPrepareDir(const char* dir, char* error, std::size_t size) {
    if (dir == nullptr || dir[0] == '\0') {
        std::snprintf(error, size, "no output directory");
        return false;
    }
    std::error_code why;
    const auto status = std::filesystem::status(HOSTPath(dir), why);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (!std::filesystem::create_directory(HOSTPath(dir), why)) {
            std::snprintf(error, size, "cannot make the output directory %s: %s", dir,
                          why ? why.message().c_str() : "it appeared meanwhile");
            return false;
        }
    } else if (why) {
        std::snprintf(error, size, "cannot make the output directory %s: %s", dir, why.message().c_str());
        return false;
    } else if (status.type() != std::filesystem::file_type::directory) {
        std::snprintf(error, size, "the output path %s is not a directory", dir);
        return false;
    }
    if (!CAPTUREMayWriteInto(dir)) {
        std::snprintf(error, size, "cannot write into the output directory %s: %s", dir, std::strerror(errno));
        return false;
    }
    return true;
}

// Writes one binary PPM image to the stream, a row at a time.
bool CAPTUREWritePPM(std::FILE* stream, const IMG* frame) {
    if (stream == nullptr || frame == nullptr || frame->pixels == nullptr || frame->width <= 0 || frame->height <= 0 ||
        frame->width > captureMaxFit) {
        return false;
    }
    unsigned char row[3 * captureMaxFit];
    if (std::fprintf(stream, "P6\n%d %d\n255\n", frame->width, frame->height) <= 0) return false;
    const std::size_t bytes = static_cast<std::size_t>(frame->width) * 3;
    for (std::int32_t y = 0; y < frame->height; y++) {
        const std::uint32_t* in = frame->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame->width);
        for (std::int32_t x = 0; x < frame->width; x++) {
            row[3 * x] = static_cast<unsigned char>(in[x] >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(in[x] >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(in[x]);
        }
        if (std::fwrite(row, 1, bytes, stream) != bytes) return false;
    }
    return true;
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
    std::error_code why;
    if (!std::filesystem::is_directory(HOSTPath(folder), why)) {
        std::snprintf(error, size, "%s %s: the folder %s does not exist", option, path, folder);
        return false;
    }
    if (!CAPTUREMayWriteInto(folder)) {
        std::snprintf(error, size, "%s %s: cannot write into the folder %s: %s", option, path, folder,
                      std::strerror(errno));
        return false;
    }
    return true;
}

// True when the name ends in the extension, in any case.
bool endsWith(const char* path, const char* extension) {
    const std::size_t n = std::strlen(path), m = std::strlen(extension);
    if (n <= m) return false;
    for (std::size_t i = 0; i < m; i++) {
        if (std::tolower(static_cast<unsigned char>(path[n - m + i])) != std::tolower(static_cast<unsigned char>(extension[i])))
            return false;
    }
    return true;
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
    std::error_code why;
    const auto status = std::filesystem::status(HOSTPath(path), why);
    if (std::filesystem::exists(status)) {
        if (std::filesystem::is_directory(status)) {
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
    std::error_code why;
    std::int32_t found = 0;
    for (std::filesystem::directory_iterator entry(HOSTPath(dir), why), end; !why && entry != end; entry.increment(why)) {
        const std::u8string utf8 = entry->path().filename().u8string();   // never a failed conversion
        const std::string name(utf8.begin(), utf8.end());
        unsigned frame = 0;
        char tail[8] = "";
        if (std::sscanf(name.c_str(), "frame-%u.%7s", &frame, tail) == 2 && std::strcmp(tail, "png") == 0 &&
            frame >= static_cast<unsigned>(first) && frame <= static_cast<unsigned>(last)) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "frame-%06u.png", frame);
            if (name == expected &&
                (found == 0 || static_cast<std::int32_t>(frame) < found)) {
                found = static_cast<std::int32_t>(frame);
            }
        }
    }
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
                   ".mp4, .mkv, .mov or .webm", over, error, size) ||
        !checkFile("--gif", options->gifPath, options->gifPath != nullptr && endsWith(options->gifPath, ".gif"),
                   ".gif", over, error, size)) {
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
    if ((options->videoPath != nullptr || options->gifPath != nullptr) && !CAPTUREHaveFFmpeg()) {
        std::snprintf(error, size, "%s needs ffmpeg, which is not on the PATH (on Debian: apt-get install ffmpeg)",
                      options->videoPath != nullptr ? "--video" : "--gif");
        return false;
    }
    return true;
}
