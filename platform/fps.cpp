// FPS: measures frames per second over one-second windows and paces the frame
// loop by sleeping. The pacing is integral: the per-frame sleep grows by what
// a frame fell short of the period and shrinks by what it overran.
//
// Times are microseconds on SDL's millisecond clock times 1000, a 32-bit
// value that wraps; differences are taken in unsigned arithmetic, so a frame's
// elapsed time stays true across the wrap.
#include "platform/fps.h"

#include <SDL.h>

#include <cstdint>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"FPS     ", "20261208", "Tordeval", "C++     ", "CODE    "};
}  // namespace

std::int32_t targetRate = 0;
std::int32_t measuredRate = 0;

namespace {

constexpr std::int64_t second = 1000000;         // microseconds
constexpr std::int64_t maxDelay = INT32_MAX;     // keeps the sleep a 32-bit count

std::int32_t framePeriod = 0;   // 1000000 / targetRate
std::uint32_t lastTime = 0;     // clock at the previous FPSTick
std::uint32_t elapsed = 0;      // clock difference between the last two FPSTick calls
std::int64_t windowTime = 0;    // sum of elapsed over the current window
std::int32_t windowFrames = 0;  // frames counted in the current window
std::int64_t delay = 0;         // sleep per frame, never negative

}  // namespace

// SDL's millisecond clock in microseconds, wrapping modulo 2^32.
std::int32_t FPSGetTime() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(SDL_GetTicks()) * 1000u);
}

// Measure the frame just ended; a window closes once it sums a second and
// what lies beyond the second is dropped. Returns measuredRate.
std::int32_t FPSTick() {
    if (targetRate <= 0) targetRate = 1;
    framePeriod = static_cast<std::int32_t>(second / targetRate);
    const auto now = static_cast<std::uint32_t>(FPSGetTime());
    elapsed = now - lastTime;
    lastTime = now;
    windowTime += elapsed;
    if (windowTime >= second) {
        measuredRate = windowFrames;
        windowFrames = 0;
        windowTime = 0;
    }
    if (windowFrames < INT32_MAX) windowFrames += 1;  // a stuck clock never closes a window
    return measuredRate;
}

// Adjust the per-frame sleep by the last frame's shortfall or overrun and
// sleep it in whole milliseconds.
void FPSDelay() {
    if (elapsed > static_cast<std::uint32_t>(framePeriod)) {
        delay -= std::int64_t{elapsed} - framePeriod;
        if (delay <= 0) delay = 0;
    } else {
        delay += framePeriod - std::int64_t{elapsed};
        if (delay > maxDelay) delay = maxDelay;
    }
    if (delay > 0) SDL_Delay(static_cast<Uint32>(delay / 1000));
}
