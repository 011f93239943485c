// The bytes of a Netpbm file as the decoders read them: a block of memory
// with a length, or an open file. A regular file is read no further than the
// size it had when it was opened. Anything else (a pipe, a FIFO, a terminal,
// a device, a /proc file that reports size 0) is read in chunks, as the bytes
// arrive, as far as a budget the decoder sets; a stream that is still going when its budget runs
// out has overrun, so that an endless stream is refused instead of read for
// ever. Nothing is read beyond what the decoder asks for, and no read waits
// for more bytes than the decoder needs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

class ByteSource {
public:
    ByteSource(const unsigned char* data, std::size_t size);  // memory
    explicit ByteSource(std::FILE* file);                     // an open file, from its start
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    static constexpr int end = -1;  // what get and peek give at the end

    // The next byte, consumed or not; end at the end.
    int get() { return next_ < last_ || Refill() ? *next_++ : end; }
    int peek() { return next_ < last_ || Refill() ? *next_ : end; }
    // Copies up to count bytes; fewer only at the end.
    std::size_t Read(unsigned char* to, std::size_t count);

    bool IsStream() const { return stream_; }
    // How many more bytes a stream may bring; a no-op for memory and seekable files.
    void SetBudget(std::uint64_t bytes);
    // Whether a stream still had bytes when its budget ran out.
    bool Overran() const { return overran_; }

private:
    bool Refill();

    const unsigned char* next_;
    const unsigned char* last_;
    std::FILE* file_ = nullptr; // null for memory
    bool stream_ = false;
    bool overran_ = false;
    std::uint64_t left_ = 0;    // bytes the file may still bring
    std::array<unsigned char, 32768> chunk_;  // a file's bytes, one read at a time
};
