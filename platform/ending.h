// ENDS: what ends the show from outside, and the one hook that runs first.
// On Linux the ends are the signals a terminal user ends a program with
// (SIGINT, SIGTERM, SIGHUP) and the loss of the X display; the F9 recorder
// sets the hook, so that a recording going on is written before the show
// ends by any of them. Nothing here knows the recorder: the hook is a plain
// function. One implementation per host (platform/linux/ending.cpp; the page
// has no such ends and no recorder).
#pragma once

// The function that keeps what must outlive an abrupt end (a recording's
// keys); null for none. It may print and write files; it must not start
// processes.
void ENDSSetKeeper(void (*keeper)());
// From now on the ends are caught rather than acted on at once, so that the
// frame loop ends the show at its next ENDSPoll, the keeper run first; an end
// that was ignored when this was called (nohup) stays ignored. A second end
// before the loop got to the first acts at once.
void ENDSCatch();
// The ends act at once again (not while the keeper runs for one of them).
void ENDSRelease();
// Once a frame, and at exit: an end that was caught runs the keeper, then
// ends the process as that end asks.
void ENDSPoll();
// The display went away: one line on standard error, the keeper, and the
// process ends at once with status 3, running no exit handler (they would
// wait on the lost display).
[[noreturn]] void ENDSLostDisplay();
