// Raw P6 writing (maxval 255); the top byte of each word is not written. A
// regular file is replaced whole or not at all: the picture goes into a new
// file beside it, which is renamed over the old one only once every byte is
// written, on disk and the file closed. A failed save (a full disk, a size
// limit) removes the new file and leaves the old one as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGSAVE ", "20261208", "Tordeval", "C++     ", "CODE    "};

// Writes the header and the pixels as red, green, blue bytes; false on any
// write error.
bool writeP6(const IMG* image, std::FILE* file) {
    if (std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height) < 0) return false;
    const std::size_t width = static_cast<std::size_t>(image->width);
    const std::size_t rowBytes = width * 3;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(rowBytes));
    if (row == nullptr) return false;
    const std::uint32_t* px = image->pixels;
    bool ok = true;
    for (std::int32_t y = 0; y < image->height && ok; ++y, px += width) {
        for (std::size_t x = 0, b = 0; x < width; ++x, b += 3) {
            row[b] = static_cast<unsigned char>(px[x] >> 16);
            row[b + 1] = static_cast<unsigned char>(px[x] >> 8);
            row[b + 2] = static_cast<unsigned char>(px[x]);
        }
        ok = std::fwrite(row, 1, rowBytes, file) == rowBytes;
    }
    std::free(row);
    return ok;
}

// Writes straight into what is at the path: a device, a FIFO, or the file a
// dangling link names.
bool saveInPlace(const IMG* image, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = writeP6(image, file);
    return std::fclose(file) == 0 && written;
}

// Writes a new file beside the path and renames it over the path. The new
// file is made with the usual permission bits (0666 less the umask) or, when
// old is given, with the old file's. Its name is short and independent of the
// target's, so that a target name of any valid length (up to 255 bytes) has
// room beside it: ".img-<pid>-<attempt>.saving" in the target's folder.
bool saveReplacing(const IMG* image, const std::string& path, const struct stat* old) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + ".img-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".saving";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    std::FILE* file = old == nullptr || ::fchmod(fd, old->st_mode & 07777) == 0 ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    bool ok = writeP6(image, file) && std::fflush(file) == 0 && ::fsync(fd) == 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

// Writes the image as a raw P6 file with maxval 255. A regular file (also one
// reached through a symbolic link) is replaced whole, keeping its permission
// bits; anything else at the path is written in place.
bool IMGSave(const IMG* image, const char* path) {
    if (image == nullptr || image->pixels == nullptr || path == nullptr || image->width <= 0 ||
        image->height <= 0) {
        IMGError();
        return false;
    }
    struct stat target {};
    struct stat entry {};
    const bool exists = ::stat(path, &target) == 0;
    const bool link = ::lstat(path, &entry) == 0 && S_ISLNK(entry.st_mode);
    bool saved;
    if (exists ? !S_ISREG(target.st_mode) : link) {
        saved = saveInPlace(image, path);
    } else if (link) {
        char* real = ::realpath(path, nullptr);
        saved = real != nullptr && saveReplacing(image, real, &target);
        std::free(real);
    } else {
        saved = saveReplacing(image, path, exists ? &target : nullptr);
    }
    if (!saved) IMGError();
    return saved;
}
