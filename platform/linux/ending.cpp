// The show's ends from outside on Linux: SIGINT, SIGTERM and SIGHUP caught
// while the recorder asks (so its keys are written first), and the end after
// a lost X display. Only async-signal-safe calls in the handler.
#include "platform/ending.h"

#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <iterator>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ENDSLNX ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr int lostDisplayStatus = 3;
constexpr int endSignals[] = {SIGINT, SIGTERM, SIGHUP};

void (*keeper)() = nullptr;
bool endCaught[std::size(endSignals)] = {};
volatile std::sig_atomic_t endSignal = 0;   // the first end caught
volatile std::sig_atomic_t keeping = 0;     // the keeper runs for it

// A second end before the loop got to the first (a loop stuck somewhere) acts
// at once; one while the keeper writes waits for it.
void onEndSignal(int sig) {
    if (endSignal == 0) {
        endSignal = sig;
    } else if (keeping == 0) {
        signal(sig, SIG_DFL);
        raise(sig);
    }
}
}  // namespace

void ENDSSetKeeper(void (*keep)()) { keeper = keep; }

void ENDSCatch() {
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(endSignals); i++) {
        struct sigaction old {};
        endCaught[i] = sigaction(endSignals[i], nullptr, &old) == 0 && old.sa_handler != SIG_IGN &&
                       sigaction(endSignals[i], &action, nullptr) == 0;
    }
}

void ENDSRelease() {
    if (keeping != 0) return;
    for (std::size_t i = 0; i < std::size(endSignals); i++) {
        if (endCaught[i]) signal(endSignals[i], SIG_DFL);
        endCaught[i] = false;
    }
}

// The end that was caught: the keeper, then the show ends by that same
// signal, as if it had not been caught.
void ENDSPoll() {
    if (endSignal == 0) return;
    const int sig = endSignal;
    keeping = 1;
    if (keeper != nullptr) keeper();
    signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(sig);
    _exit(128 + sig);   // not reached: the default action ends the process
}

void ENDSLostDisplay() {
    static const char line[] = "velm4023: lost the display\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line, sizeof line - 1);
    if (keeper != nullptr) keeper();
    _exit(lostDisplayStatus);
}
