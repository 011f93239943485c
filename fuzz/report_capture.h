// Standard output of the fuzz targets goes to an in-memory file so that the
// image module's report lines can be counted after every call.
#pragma once

#include <cstddef>

void CaptureStart();             // once: stdout into memory, reporting on
void CaptureRewind();            // before a call: forget earlier output
std::size_t CaptureReports();    // after a call: "IMG error\n" lines printed; traps on other output
void Require(bool condition);    // traps when a property of the module does not hold
