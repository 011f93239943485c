// TOOL: what the programs beside the show share. PNG files go through the
// image module's IMGSavePNG; enlargement by whole factors is IMGScale.
#pragma once

#include <string>

// Writes the bytes as the whole file at path. On any failure it prints
// "<program>: cannot write <path>: <reason>" on standard error and gives false.
bool TOOLWriteFile(const std::string& path, const std::string& bytes);
