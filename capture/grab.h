// GRAB: the present hook of velm4023-capture. The display module's calls to
// SDL_UpdateRect and SDL_Flip are redirected here at link time
// (-Wl,--wrap=...): every present is one frame of the show, counted from 1.
// The hook copies the screen surface, writes the frames asked for, feeds the
// keys due and, after the last frame wanted, ends the process.
#pragma once

#include <cstdio>

#include "capture/capture.h"

bool GRABStart(const CAPTUREOPTIONS* options, std::FILE* ppmStream);  // before the show runs; false: an output failed
int GRABFinish();                     // after the show returned by itself: exit status
std::int32_t GRABFramesSeen();        // frames presented so far
