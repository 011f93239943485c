// Helpers for driving the show in tests: start it once per process, press keys
// at chosen frames, watch every presented frame, and fingerprint images.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "demo/demo.h"

namespace showtest {

// Initialises SDL as the process entry does, plus its video subsystem so that
// key events can be queued before the show opens its window. Idempotent.
void StartSDL();

// StartSDL, then DEMOInit the first time in this process. Returns false when
// the show was already started here: tests that need the state right after
// start-up then skip (ctest runs every test in a process of its own).
bool StartShow();

// Starts the show for a test that needs the state right after start-up.
#define VELM_FRESH_SHOW() \
    if (!showtest::StartShow()) GTEST_SKIP() << "needs a process of its own, as ctest runs it"

// Queues one key press (key-down only) for the next key read.
void PushKey(int sym);

// Presented frames so far in this process, the fade's steps included. Counted
// where the display hands a finished frame to SDL.
std::int64_t Presents();

// Keys to press: at presented frame `frame` (1-based, counted by Presents),
// right after presenting and before that frame's key read, key `sym` is queued.
struct ScriptKey {
    std::int64_t frame;
    int sym;
};
void SetScript(const ScriptKey* keys, std::size_t count);

// Called after every presentation with the frame's number. Must not allocate
// when a test measures memory.
void SetObserver(std::function<void(std::int64_t)> observer);

// FNV-1a over size and pixels.
std::uint64_t Hash(const IMG* image);

// Bytes the allocator has handed out and not yet taken back.
std::size_t HeapInUse();

// Calls of malloc, calloc and realloc made by the show's own code so far (the
// libraries linked into this test; SDL's own calls are not counted).
std::int64_t OwnAllocations();

}  // namespace showtest
