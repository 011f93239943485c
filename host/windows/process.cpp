// Child processes on Windows: CreateProcessW with a command line quoted as
// Windows programs split it (no shell ever parses it), a pipe to the child's
// standard input whose writing end no other child inherits (only the child's
// own handles are inheritable, and only while it starts), a program found
// beside this one or on the PATH, .exe added where the name has none.
// Paths and arguments are UTF-8.
#include "host/process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/windows/text.h"

namespace {

constexpr int maxChildren = 16;
constexpr DWORD stoppedCode = 1;   // the exit code of a child stopped by HOSTStop

struct Child {
    DWORD pid;   // 0: slot free
    HANDLE process;
};
Child children[maxChildren];
HANDLE interruptEvent = nullptr;

Child* find(int child) {
    for (Child& c : children) {
        if (child > 0 && c.pid == static_cast<DWORD>(child)) return &c;
    }
    return nullptr;
}

// Ends the slot: the exit code into how, the handle closed.
bool finish(Child* child, HOSTEXIT* how) {
    DWORD code = 0;
    GetExitCodeProcess(child->process, &code);
    if (how != nullptr) *how = {true, static_cast<int>(code)};
    CloseHandle(child->process);
    *child = Child{};
    return true;
}

std::wstring withExe(const std::wstring& name) {
    if (name.size() >= 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) return name;
    return name + L".exe";
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// One argument as the C runtime's splitting gives it back: quoted when it
// holds a space, a tab or a quote (or is empty), backslashes before a quote
// doubled.
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

BOOL WINAPI onInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    SetEvent(interruptEvent);
    return TRUE;
}

}  // namespace

int HOSTSpawn(const std::vector<std::string>& argv, const HOSTCHILD& how, std::FILE** input) {
    if (argv.empty() || (how.input && input == nullptr)) {
        errno = EINVAL;
        return -1;
    }
    if (input != nullptr) *input = nullptr;
    const bool named = argv[0].find_first_of("/\\") == std::string::npos;
    const std::string found = named ? HOSTFindProgram(argv[0].c_str()) : argv[0];
    const std::wstring program = found.empty() ? std::wstring() : withExe(HOSTWide(found.c_str()));
    if (program.empty() || !isFile(program)) {
        errno = ENOENT;
        return -1;
    }
    std::wstring line;
    appendQuoted(line, program);
    for (std::size_t i = 1; i < argv.size(); ++i) appendQuoted(line, HOSTWide(argv[i].c_str()));

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr, logFile = nullptr, nul = nullptr;
    if (how.input) {
        if (CreatePipe(&readEnd, &writeEnd, nullptr, 0) == 0) {
            errno = EMFILE;
            return -1;
        }
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);   // the child's end only
    }
    if (!how.input || how.detached) {
        nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
    }
    if (how.errorLog != nullptr) {
        logFile = CreateFileW(HOSTWide(how.errorLog).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (logFile == INVALID_HANDLE_VALUE) logFile = nullptr;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = how.input ? readEnd : nul;
    startup.hStdOutput = how.detached ? nul : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = logFile != nullptr ? logFile : how.detached ? nul : GetStdHandle(STD_ERROR_HANDLE);
    // A detached child is a job of its own at low priority; no child opens a
    // console window of its own.
    const DWORD flags = CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT |
                        (how.detached ? CREATE_NEW_PROCESS_GROUP | BELOW_NORMAL_PRIORITY_CLASS : 0);
    PROCESS_INFORMATION started{};
    const bool ok = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                   &startup, &started) != 0;
    const DWORD why = ok ? 0 : GetLastError();
    for (HANDLE handle : {readEnd, logFile, nul}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    if (!ok) {
        if (writeEnd != nullptr) CloseHandle(writeEnd);
        errno = why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return -1;
    }
    CloseHandle(started.hThread);
    if (how.input) {
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
            child = {started.dwProcessId, started.hProcess};
            return static_cast<int>(started.dwProcessId);
        }
    }
    CloseHandle(started.hProcess);   // no room to wait for it: it runs to its end alone
    return static_cast<int>(started.dwProcessId);
}

bool HOSTWait(int child, HOSTEXIT* how) {
    Child* c = find(child);
    if (c == nullptr || WaitForSingleObject(c->process, INFINITE) != WAIT_OBJECT_0) return false;
    return finish(c, how);
}

// The console's Ctrl+C or Ctrl+Break (where there is a console) stops the wait.
bool HOSTWaitInterruptible(int child, HOSTEXIT* how, bool* interrupted) {
    if (interrupted != nullptr) *interrupted = false;
    Child* c = find(child);
    if (c == nullptr) return false;
    if (interruptEvent == nullptr) interruptEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(interruptEvent);
    SetConsoleCtrlHandler(onInterrupt, TRUE);
    const HANDLE waits[] = {c->process, interruptEvent};
    const DWORD got = WaitForMultipleObjects(interruptEvent != nullptr ? 2 : 1, waits, FALSE, INFINITE);
    SetConsoleCtrlHandler(onInterrupt, FALSE);
    if (got == WAIT_OBJECT_0) return finish(c, how);
    if (interrupted != nullptr) *interrupted = got == WAIT_OBJECT_0 + 1;
    return false;
}

bool HOSTPoll(int child, HOSTEXIT* how) {
    Child* c = find(child);
    if (c == nullptr || WaitForSingleObject(c->process, 0) != WAIT_OBJECT_0) return false;
    return finish(c, how);
}

// Windows has no polite request to a child without a console of its own:
// the child ends at once.
void HOSTStop(int child) {
    if (Child* c = find(child)) TerminateProcess(c->process, stoppedCode);
}

bool HOSTIsProgram(const std::string& path) { return !path.empty() && isFile(withExe(HOSTWide(path.c_str()))); }

// Beside this program first (where a user puts ffmpeg.exe), then the PATH's
// folders; the name as given, with .exe added where it has none.
std::string HOSTFindProgram(const char* name) {
    if (name == nullptr || name[0] == '\0') return "";
    const std::string exe = HOSTNarrow(withExe(HOSTWide(name)).c_str());
    const std::string self = HOSTProgramFolder();
    if (!self.empty() && HOSTIsProgram(self + "\\" + exe)) return self + "\\" + exe;
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    for (const char* start = path;;) {
        const char* semicolon = std::strchr(start, ';');
        const std::size_t length = semicolon != nullptr ? static_cast<std::size_t>(semicolon - start) : std::strlen(start);
        if (length > 0) {
            std::string folder(start, length);
            if (folder.size() > 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
            const std::string candidate = folder + "\\" + exe;
            if (HOSTIsProgram(candidate)) return candidate;
        }
        if (semicolon == nullptr) return "";
        start = semicolon + 1;
    }
}

std::string HOSTProgramFolder() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    std::wstring folder(self, n);
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "" : HOSTNarrow(folder.substr(0, slash).c_str());
}

// A word for Command Prompt or PowerShell: in double quotes unless plain.
std::string HOSTQuote(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"&|<>^%'()`$;,") == std::string::npos) return word;
    std::wstring line;
    appendQuoted(line, HOSTWide(word.c_str()));
    if (line.empty() || line.front() != L'"') line = L'"' + line + L'"';
    return HOSTNarrow(line.c_str());
}

const char* HOSTFFmpegHint() { return "ffmpeg.exe is neither beside velm4023.exe nor on the PATH"; }
