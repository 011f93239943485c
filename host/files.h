// HOST files: the two ways the program's modules touch a file beyond plain
// C streams. A file is replaced whole or not at all (how a saved picture must
// never be left half written), and a file is read whole through its own
// reads (how a decoder tells a regular file of known length from a stream).
// One implementation per host: host/linux/files.cpp, host/web/files.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

// Writes the file at path through write(file, what), which reports whether
// every byte went out. A regular file (also one reached through a symbolic
// link) is replaced whole or not at all: a new file beside it, with the old
// file's permission bits, takes its place only once written, flushed to disk
// and closed. Anything else at the path (a device, a FIFO) is written in
// place. False on any failure, with errno saying why; no new file is left.
bool HOSTSaveThrough(const char* path, bool (*write)(std::FILE* file, const void* what), const void* what);

// A path given in UTF-8 (or, on Linux, as the file system's own bytes) as
// std::filesystem reads it: on Windows its narrow strings are read in a code
// page of the C library's, which has no room for most letters.
std::filesystem::path HOSTPath(const char* path);

// Opens path for writing, made or emptied, as a stream no child process
// inherits; null with errno on failure.
std::FILE* HOSTOpenWrite(const char* path);

// True when the open file is a regular file that reports a length (above 0),
// put in *length, and the file has been put back to its start; false for
// streams (pipes, terminals, devices, files that report no length).
bool HOSTFileLength(std::FILE* file, std::uint64_t* length);
// One read of up to count bytes from the file's own position, past any
// buffer of the stream, retried when interrupted: the bytes read, 0 at the
// end, -1 on an error.
std::int64_t HOSTReadSome(std::FILE* file, void* to, std::size_t count);
