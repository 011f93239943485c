// FPS: frame-rate measurement and pacing. Call FPSTick and then FPSDelay once
// per frame; the pacing sleep grows while frames are short and shrinks while
// they are long, so the frame-to-frame time settles on 1 / targetRate.
#pragma once

#include <cstdint>

extern std::int32_t targetRate;    // frames per second wanted; written by the demo
extern std::int32_t measuredRate;  // frames counted in the last completed one-second window

std::int32_t FPSGetTime();                             // SDL's millisecond clock in microseconds, wrapping
std::int32_t FPSTick();                                // measure the frame; returns measuredRate
void FPSDelay();                                       // sleep the pacing delay

// ---- Virtual clock ----------------------------------------------------------
// Present only in programs linked with velm_virtualclock (tests, the capture
// tool): there SDL_GetTicks reads a virtual millisecond count and SDL_Delay
// advances it instead of sleeping, so the show runs unchanged in fast-forward.
std::uint32_t FPSVirtualTicks();                       // the virtual millisecond count
void FPSVirtualAdvance(std::uint32_t milliseconds);    // move the virtual clock on
