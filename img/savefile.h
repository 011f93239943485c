// Private to the image module: the one way its savers put bytes into a file.
#pragma once

#include <cstdio>

// Writes the file at path through write(file, what), which reports whether
// every byte went out. A regular file (also one reached through a symbolic
// link) is replaced whole or not at all: a new file beside it, with the old
// file's permission bits, is renamed over it only once written, flushed to
// disk and closed. Anything else at the path (a device, a FIFO) is written in
// place. False on any failure, with errno saying why; no new file is left.
bool imgSaveThrough(const char* path, bool (*write)(std::FILE* file, const void* what), const void* what);
