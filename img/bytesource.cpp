// Byte sources of the Netpbm decoders: memory, seekable files, streams.
#include "img/bytesource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGBYTES", "20261208", "Tordeval", "C++     ", "CODE    "};

}  // namespace

ByteSource::ByteSource(const unsigned char* data, std::size_t size) : next_(data), last_(data + size) {}

// A regular file that reports a size has that length. Anything else is a
// stream, which brings nothing until the decoder sets a budget: pipes, FIFOs,
// terminals, devices (/dev/zero seeks to 0 but never ends) and /proc files
// (size 0, yet they have bytes). The file is read through its descriptor,
// past stdio's buffer.
ByteSource::ByteSource(std::FILE* file) : next_(nullptr), last_(nullptr), fd_(fileno(file)) {
    struct stat st {};
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        ::lseek(fd_, 0, SEEK_SET) == 0) {
        left_ = static_cast<std::uint64_t>(st.st_size);
    } else {
        stream_ = true;
    }
}

void ByteSource::SetBudget(std::uint64_t bytes) {
    if (stream_) left_ = bytes;
}

// Reads the next chunk: as many bytes as one read gives, within what the file
// may still bring. At a stream's exhausted budget one more byte is tried to
// tell a stream that ended from one that overran.
bool ByteSource::Refill() {
    if (fd_ < 0) return false;
    if (left_ == 0) {
        if (stream_ && !overran_) {
            unsigned char probe;
            ssize_t got;
            do got = ::read(fd_, &probe, 1);
            while (got < 0 && errno == EINTR);
            overran_ = got > 0;
        }
        return false;
    }
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, chunk_.size()));
    ssize_t got;
    do got = ::read(fd_, chunk_.data(), want);
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        left_ = 0;  // the end, or an error that ends the input just the same
        return false;
    }
    left_ -= static_cast<std::uint64_t>(got);
    next_ = chunk_.data();
    last_ = next_ + got;
    return true;
}

std::size_t ByteSource::Read(unsigned char* to, std::size_t count) {
    std::size_t done = 0;
    while (done < count && (next_ < last_ || Refill())) {
        const std::size_t n = std::min(count - done, static_cast<std::size_t>(last_ - next_));
        std::memcpy(to + done, next_, n);
        next_ += n;
        done += n;
    }
    return done;
}
