// TOOL: what the programs beside the show share. PNG files go through the
// display module's SDLDPYWritePNG; enlargement by whole factors is IMGScale.
#pragma once

#include <string>

bool TOOLWriteFile(const std::string& path, const std::string& bytes);  // whole file; false on any failure
