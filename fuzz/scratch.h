// Shared by the fuzz targets that read through files: one private temporary
// directory per process, removed with everything in it at exit, and an input
// file that lives in memory where the kernel allows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Once, from LLVMFuzzerInitialize: makes /tmp/velm_<target>_XXXXXX and returns its path.
std::string ScratchDir(const char* target);
// The whole input as the file at path; traps when it cannot be written.
void ScratchWrite(const std::string& path, const std::uint8_t* data, std::size_t size);

// An input file the decoders open by path, for targets that only read it: a
// memory-backed file (memfd_create) named /proc/self/fd/N where the kernel
// has one and /proc shows it, which spares the filesystem a file per input;
// otherwise input.pnm in a scratch directory. Once, from LLVMFuzzerInitialize.
std::string ScratchInput(const char* target);
// Makes the bytes the whole input file; traps when they cannot be written.
void ScratchInputWrite(const std::uint8_t* data, std::size_t size);
