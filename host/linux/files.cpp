// Files on Linux: a regular file replaced whole (written beside it, fsync'd,
// renamed over it), anything else at the path written in place; and a file
// read whole through its descriptor, its length from fstat.
#include "host/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Writer = bool (*)(std::FILE* file, const void* what);

// Writes straight into what is at the path: a device, a FIFO, or the file a
// dangling link names.
bool saveInPlace(const char* path, Writer write, const void* what) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = write(file, what);
    return std::fclose(file) == 0 && written;
}

// Writes a new file beside the path and renames it over the path. The new
// file is made with the usual permission bits (0666 less the umask) or, when
// old is given, with the old file's. Its name is short and independent of the
// target's, so that a target name of any valid length (up to 255 bytes) has
// room beside it: ".img-<pid>-<attempt>.saving" in the target's folder.
bool saveReplacing(const std::string& path, const struct stat* old, Writer write, const void* what) {
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
    bool ok = write(file, what) && std::fflush(file) == 0 && ::fsync(fd) == 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

bool HOSTSaveThrough(const char* path, Writer write, const void* what) {
    struct stat target {};
    struct stat entry {};
    const bool exists = ::stat(path, &target) == 0;
    const bool link = ::lstat(path, &entry) == 0 && S_ISLNK(entry.st_mode);
    if (exists ? !S_ISREG(target.st_mode) : link) return saveInPlace(path, write, what);
    if (!link) return saveReplacing(path, exists ? &target : nullptr, write, what);
    char* real = ::realpath(path, nullptr);
    const bool saved = real != nullptr && saveReplacing(real, &target, write, what);
    std::free(real);
    return saved;
}

std::FILE* HOSTOpenWrite(const char* path) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) ::close(fd);
    return file;
}

// A regular file that reports a size has that length. Anything else is a
// stream: pipes, FIFOs, terminals, devices (/dev/zero seeks to 0 but never
// ends) and /proc files (size 0, yet they have bytes).
bool HOSTFileLength(std::FILE* file, std::uint64_t* length) {
    const int fd = file != nullptr ? ::fileno(file) : -1;
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        return false;
    *length = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::int64_t HOSTReadSome(std::FILE* file, void* to, std::size_t count) {
    const int fd = file != nullptr ? ::fileno(file) : -1;
    if (fd < 0) return -1;
    ssize_t got;
    do got = ::read(fd, to, count);
    while (got < 0 && errno == EINTR);
    return got;
}

std::filesystem::path HOSTPath(const char* path) { return std::filesystem::path(path != nullptr ? path : ""); }
