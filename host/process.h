// HOST processes: starting a program as a child, with a pipe to its standard
// input, waiting for it, and finding a program. The F9 recorder starts the
// capture tool through it and the capture tool starts ffmpeg through it, so
// both get the same care: every descriptor the parent opens for a child is
// closed in every other child (a second encoder never holds the first one's
// pipe open), a child that stops reading turns the parent's writes into
// errors instead of ending it by a signal, and no shell ever parses a
// command line. One implementation per host (host/linux/process.cpp; the page
// starts no processes).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// How a child starts.
struct HOSTCHILD {
    bool input;            // a pipe to its standard input, whose writing end the caller gets
    const char* errorLog;  // not null: its standard error goes to this file, made or emptied
    bool detached;         // a job of its own: its own process group (the terminal's Ctrl+C
                           // is not for it), low priority, its standard streams on the null device
};

// How a child ended.
struct HOSTEXIT {
    bool exited;   // ended by itself, with code; else stopped by the signal (or host reason) in code
    int code;
};

// Starts argv[0] (a path, or a name looked for on the PATH) with argv. With
// how.input, *input receives a stream writing to the child's standard input,
// which the caller closes to end it. The child's number, or -1 with errno
// set when it could not start (ENOENT: no such program).
int HOSTSpawn(const std::vector<std::string>& argv, const HOSTCHILD& how, std::FILE** input);
// Waits for the child to end; false when it is not one (already waited for).
bool HOSTWait(int child, HOSTEXIT* how);
// Like HOSTWait, but the viewer's Ctrl+C (or a termination request) while it
// waits stops the wait: false, *interrupted true, the child still running.
bool HOSTWaitInterruptible(int child, HOSTEXIT* how, bool* interrupted);
// True when the child has ended, filling how; never waits.
bool HOSTPoll(int child, HOSTEXIT* how);
// Asks the child to end (it may clean up first).
void HOSTStop(int child);
// True with 0 in how for a child that ended by itself with status 0.
inline bool HOSTSucceeded(const HOSTEXIT& how) { return how.exited && how.code == 0; }

// The full path of an executable name in one of the PATH's folders, or "".
std::string HOSTFindProgram(const char* name);
// The folder of the running program's own executable, or "" when unknown.
std::string HOSTProgramFolder();
// True when path names an executable file.
bool HOSTIsProgram(const std::string& path);
// A word of a command line as the user's shell takes it back: itself when
// plain, else quoted (a POSIX shell's single quotes; on Windows the double
// quotes its programs split their command lines by).
std::string HOSTQuote(const std::string& word);
// How to get ffmpeg on this host, for the line that says it is missing.
const char* HOSTFFmpegHint();
