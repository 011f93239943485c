// Frames out of velm4023-capture: enlargement, the output directory and the
// PPM stream. PNG files go through the display module's writer.
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
