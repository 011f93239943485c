// Windows: ffmpeg.exe as a child process of velm4023-capture, found beside
// the program or on the PATH, started with a command line quoted as Windows
// programs split it, with a pipe to its standard input, and waited for.
// Paths and arguments are UTF-8.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "img/img.h"
#include "img/windows/widepath.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINPROC ", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr int maxChildren = 8;

struct Child {
    DWORD pid;      // 0: slot free
    HANDLE process;
};
Child children[maxChildren];

// The program's full path: PROGRAM.exe searched for as Windows does (beside
// this program, the current folder, the system folders, then the PATH).
std::wstring findProgram(const char* name) {
    std::wstring wide = imgWidePath(name);
    if (wide.empty()) return {};
    if (wide.size() < 4 || _wcsicmp(wide.c_str() + wide.size() - 4, L".exe") != 0) wide += L".exe";
    wchar_t found[MAX_PATH];
    const DWORD n = SearchPathW(nullptr, wide.c_str(), nullptr, MAX_PATH, found, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(found) : std::wstring();
}

// One argument as the C runtime's command-line splitting gives it back:
// quoted when it holds a space, a tab or a quote (or is empty), with the
// backslashes before a quote doubled.
void appendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}
}  // namespace

bool CAPTUREHaveFFmpeg() { return !findProgram("ffmpeg").empty(); }

// Starts argv (never through a shell); see capture.h.
int CAPTURESpawn(char* const* argv, std::FILE** input, const char* log) {
    if (argv == nullptr || argv[0] == nullptr) return -1;
    const std::wstring program = findProgram(argv[0]);
    if (program.empty()) return -1;
    std::wstring line;
    for (char* const* argument = argv; *argument != nullptr; ++argument) {
        appendQuoted(line, argument == argv ? program : imgWidePath(*argument));
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr, logFile = nullptr, nul = nullptr;
    if (input != nullptr) {
        if (CreatePipe(&readEnd, &writeEnd, nullptr, 0) == 0) return -1;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);   // the child's end only
    } else {
        nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    }
    if (log != nullptr) {
        logFile = CreateFileW(imgWidePath(log).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (logFile == INVALID_HANDLE_VALUE) logFile = nullptr;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input != nullptr ? readEnd : nul;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = logFile != nullptr ? logFile : GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    const bool ok = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                   nullptr, &startup, &started) != 0;
    for (HANDLE handle : {readEnd, logFile, nul}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    if (!ok) {
        if (writeEnd != nullptr) CloseHandle(writeEnd);
        return -1;
    }
    CloseHandle(started.hThread);
    if (input != nullptr) {
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY | _O_BINARY);
        *input = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
        if (*input == nullptr) {
            if (fd >= 0) {
                _close(fd);
            } else {
                CloseHandle(writeEnd);
            }
        }
    }
    for (Child& child : children) {
        if (child.pid == 0) {
            child.pid = started.dwProcessId;
            child.process = started.hProcess;
            return static_cast<int>(started.dwProcessId);
        }
    }
    // No room to remember it: it runs to its end unwaited.
    CloseHandle(started.hProcess);
    return static_cast<int>(started.dwProcessId);
}

// Waits for a process started here; true when it exited with status 0.
bool CAPTUREWait(int pid) {
    if (pid <= 0) return false;
    for (Child& child : children) {
        if (child.pid != static_cast<DWORD>(pid)) continue;
        DWORD status = 1;
        const bool ended = WaitForSingleObject(child.process, INFINITE) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(child.process, &status) != 0;
        CloseHandle(child.process);
        child = Child{};
        return ended && status == 0;
    }
    return false;
}
