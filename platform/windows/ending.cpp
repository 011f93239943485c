// The show's ends from outside on Windows, caught while the recorder asks so
// that its keys are written first: Ctrl+C, Ctrl+Break or the console closed
// (when the show was started from one, whose console it then shares), and
// logging off or shutting down, which reach the window as
// WM_QUERYENDSESSION and WM_ENDSESSION. Windows calls a console handler on a
// thread of its own: it only records the end and waits (a few seconds at
// most) for the frame loop to keep the keys, as on Linux a signal handler
// sets a flag. Logging off reaches the window procedure on the main thread
// itself, which keeps the keys there.
#include "platform/ending.h"

#include <windows.h>

#include <cstdlib>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ENDSWIN ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr UINT lostDisplayStatus = 3;
constexpr UINT interruptedStatus = 0xC000013A;   // STATUS_CONTROL_C_EXIT, as Windows ends a program on Ctrl+C
constexpr DWORD keeperWait = 4000;                // Windows ends a closed console's programs after 5 s

void (*keeper)() = nullptr;
volatile LONG endEvent = 0;     // the console event caught, plus one; 0 for none
volatile LONG keeping = 0;
HANDLE kept = nullptr;          // set once the keeper has run
HHOOK endSessionHook = nullptr;
bool catching = false;

void keepOnce() {
    if (InterlockedExchange(&keeping, 1) != 0) return;
    if (keeper != nullptr) keeper();
    if (kept != nullptr) SetEvent(kept);
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (InterlockedCompareExchange(&endEvent, static_cast<LONG>(event) + 1, 0) != 0 && keeping == 0) {
        return FALSE;   // a second end before the loop got to the first: Windows' own action, at once
    }
    // Ctrl+C and Ctrl+Break wait for the frame loop, which ends the process;
    // for a closed console, logging off or shutting down Windows ends it once
    // this returns, so the keys must be written by then.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && kept != nullptr) WaitForSingleObject(kept, keeperWait);
    return TRUE;
}

// Logging off or shutting down: the session ends once the window procedure
// returns from WM_ENDSESSION; the keys are kept on the main thread first.
LRESULT CALLBACK onWindowMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message != nullptr && message->message == WM_ENDSESSION && message->wParam != 0) {
        keepOnce();
    }
    return CallNextHookEx(endSessionHook, code, wParam, lParam);
}
}  // namespace

void ENDSSetKeeper(void (*keep)()) { keeper = keep; }

void ENDSCatch() {
    if (catching) return;
    catching = true;
    if (kept == nullptr) kept = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    AttachConsole(ATTACH_PARENT_PROCESS);   // the console the show was started from, if any
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    endSessionHook = SetWindowsHookExW(WH_CALLWNDPROC, onWindowMessage, nullptr, GetCurrentThreadId());
}

void ENDSRelease() {
    if (!catching || keeping != 0) return;
    catching = false;
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    if (endSessionHook != nullptr) UnhookWindowsHookEx(endSessionHook);
    endSessionHook = nullptr;
}

// The end that was caught: the keeper, then the process ends with the status
// Windows gives a program ended by Ctrl+C, through exit, so that stdout.txt
// and stderr.txt are settled and SDL shuts down.
void ENDSPoll() {
    if (endEvent == 0) return;
    keepOnce();
    std::exit(static_cast<int>(interruptedStatus));
}

// A Windows desktop does not go away under its programs; kept for the seam.
void ENDSLostDisplay() {
    static const char line[] = "velm4023: lost the display\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, sizeof line - 1, &written, nullptr);
    keepOnce();
    ExitProcess(lostDisplayStatus);
}
