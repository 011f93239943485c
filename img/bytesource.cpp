// Byte sources of the Netpbm decoders: memory, seekable files, streams.
#include "img/bytesource.h"

#include <algorithm>
#include <cstring>

#include "host/files.h"
#include "img/img.h"

namespace {

[[maybe_unused]] const IDENT ident = {"IMGBYTES", "20261208", "Tordeval", "C++     ", "CODE    "};

}  // namespace

ByteSource::ByteSource(const unsigned char* data, std::size_t size) : next_(data), last_(data + size) {}

// A regular file that reports a size has that length (host/files.h). Anything
// else is a stream, which brings nothing until the decoder sets a budget:
// pipes, FIFOs, terminals, devices and files that report no size. The file is
// read through the host's own reads, past stdio's buffer.
ByteSource::ByteSource(std::FILE* file) : next_(nullptr), last_(nullptr), file_(file) {
    if (file_ == nullptr || !HOSTFileLength(file_, &left_)) {
        left_ = 0;
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
    if (file_ == nullptr) return false;
    if (left_ == 0) {
        if (stream_ && !overran_) {
            unsigned char probe;
            overran_ = HOSTReadSome(file_, &probe, 1) > 0;
        }
        return false;
    }
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, chunk_.size()));
    const std::int64_t got = HOSTReadSome(file_, chunk_.data(), want);
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
