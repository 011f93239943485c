// Shared by the fuzz targets that read through files: one private temporary
// directory per process, removed with everything in it at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Once, from LLVMFuzzerInitialize: makes /tmp/velm_<target>_XXXXXX and returns its path.
std::string ScratchDir(const char* target);
// The whole input as the file at path; traps when it cannot be written.
void ScratchWrite(const std::string& path, const std::uint8_t* data, std::size_t size);
