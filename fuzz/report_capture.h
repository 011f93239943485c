// Shared by the fuzz targets: standard output goes to an in-memory file so that
// the image module's report lines can be counted after every call, and one
// check holds each decoder's result against its reports.
#pragma once

#include <cstddef>
#include <cstdint>

#include "img/img.h"

void CaptureStart();             // once: stdout into memory, reporting on
void CaptureRewind();            // before a call: forget earlier output
std::size_t CaptureReports();    // after a call: "IMG error\n" lines printed; traps on other output
void Require(bool condition);    // traps when a property of the module does not hold

// A decoder's result against its report count: null with exactly one report,
// or a picture within IMG_MAX_PIXELS (at least one pixel unless mayBeEmpty)
// with none. Returns the pixel count, 0 for null.
std::int64_t RequireDecoded(const IMG* image, std::size_t reports, bool mayBeEmpty = false);
