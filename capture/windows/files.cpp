// Windows: careful file handling for velm4023-capture, as on Linux
// (capture/linux/files.cpp), and the console it runs in. Outputs
// are written beside their target under a hidden temporary name and moved
// into place only when whole; everything temporary (files, folders, ffmpeg
// runs) is remembered so that a failure, Ctrl+C, Ctrl+Break or a closed
// console removes it. Windows calls the console handler on a thread of its
// own: the main thread is stopped first, and the removal uses only Windows'
// own calls on what was prepared when each entry was tracked. Paths are UTF-8.
// Standard output is switched to binary for the image stream (in text mode
// each byte 10 would become 13 10).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "img/img.h"
#include "host/windows/text.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINFILES", "20261210", "Tordeval", "C++     ", "CODE    "};

constexpr int maxTracked = 8;
constexpr std::size_t pathSize = 4096;
constexpr UINT interruptedStatus = 0xC000013A;   // STATUS_CONTROL_C_EXIT, as Windows ends a program on Ctrl+C

struct Tracked {
    char path[pathSize];       // UTF-8, as the caller gave it
    wchar_t wide[pathSize];    // the same for Windows' calls
    volatile LONG used;        // 1: a file, 2: a folder, 3: a process
    HANDLE process;
};
Tracked tracked[maxTracked];
HANDLE mainThread = nullptr;

void setErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_DISK_FULL: errno = ENOSPC; break;
    default: errno = EIO; break;
    }
}

int track(LONG kind, const char* path, HANDLE process) {
    for (int i = 0; i < maxTracked; i++) {
        if (tracked[i].used != 0) continue;
        std::snprintf(tracked[i].path, pathSize, "%s", path != nullptr ? path : "");
        const std::wstring wide = HOSTWide(path);
        if (wide.size() >= pathSize) return -1;
        std::memcpy(tracked[i].wide, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        tracked[i].process = process;
        tracked[i].used = kind;
        return i;
    }
    return -1;
}

// Ctrl+C, Ctrl+Break, the console closed, logging off, shutting down: the
// main thread is stopped, what is half made removed, and the process ends.
BOOL WINAPI onConsoleEvent(DWORD /*event*/) {
    if (mainThread != nullptr) SuspendThread(mainThread);
    static const char line[] = "\r\nvelm4023-capture: interrupted; no output was left half written\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, sizeof line - 1, &written, nullptr);
    CAPTURERemoveTemporaries();
    ExitProcess(interruptedStatus);
}

// A name no other run picks: the process id and a counter, mixed with the clock.
std::string uniqueSuffix(unsigned attempt) {
    char suffix[16];
    const unsigned long mixed = (GetCurrentProcessId() * 2654435761ul) ^ (GetTickCount() * 40503ul) ^ (attempt * 97ul);
    std::snprintf(suffix, sizeof suffix, "%06lx", mixed & 0xFFFFFFul);
    return suffix;
}
}  // namespace

void CAPTUREGuardSignals() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread,
                    THREAD_SUSPEND_RESUME, FALSE, 0);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

int CAPTURETrackFile(const char* path) { return track(1, path, nullptr); }
int CAPTURETrackFolder(const char* path) { return track(2, path, nullptr); }

int CAPTURETrackProcess(int pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return -1;
    const int slot = track(3, nullptr, process);
    if (slot < 0) CloseHandle(process);
    return slot;
}

void CAPTUREUntrack(int slot) {
    if (slot < 0 || slot >= maxTracked) return;
    if (tracked[slot].used == 3 && tracked[slot].process != nullptr) CloseHandle(tracked[slot].process);
    tracked[slot].process = nullptr;
    tracked[slot].used = 0;
}

// Stops the processes, then removes the files and last the folders.
void CAPTURERemoveTemporaries() {
    for (Tracked& entry : tracked) {
        if (entry.used == 3) {
            TerminateProcess(entry.process, 1);   // its output is temporary
            WaitForSingleObject(entry.process, 5000);
            CloseHandle(entry.process);
            entry.process = nullptr;
            entry.used = 0;
        }
    }
    for (LONG kind = 1; kind <= 2; kind++) {
        for (Tracked& entry : tracked) {
            if (entry.used != kind) continue;
            if (kind == 1) DeleteFileW(entry.wide);
            if (kind == 2) RemoveDirectoryW(entry.wide);
            entry.used = 0;
        }
    }
}

// Makes an empty file beside target, ".NAME-XXXXXX", open for binary writing
// and never inherited by a child; its name goes to temp. Null on failure
// (errno set).
std::FILE* CAPTURETempBeside(const char* target, char* temp, std::size_t size) {
    const char* slash = std::strrchr(target, '/');
    const char* backslash = std::strrchr(target, '\\');
    if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
    const int dirLength = slash != nullptr ? static_cast<int>(slash - target + 1) : 0;
    for (unsigned attempt = 0; attempt < 100; attempt++) {
        const int n = std::snprintf(temp, size, "%.*s.%s-%s", dirLength, target, slash != nullptr ? slash + 1 : target,
                                    uniqueSuffix(attempt).c_str());
        if (n < 0 || static_cast<std::size_t>(n) >= size) {
            errno = ENAMETOOLONG;
            return nullptr;
        }
        const std::wstring wide = HOSTWide(temp);
        HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            setErrno(GetLastError());
            return nullptr;
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
        std::FILE* stream = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
        if (stream == nullptr || CAPTURETrackFile(temp) < 0) {
            if (stream != nullptr) {
                std::fclose(stream);
            } else if (fd >= 0) {
                _close(fd);
            } else {
                CloseHandle(file);
            }
            DeleteFileW(wide.c_str());
            errno = EMFILE;
            return nullptr;
        }
        return stream;
    }
    errno = EEXIST;
    return nullptr;
}

// Puts the finished (closed) temporary file in the target's place. Without
// overwrite an output that appeared meanwhile is kept and the new one removed.
bool CAPTURECommit(const char* temp, const char* target, bool overwrite) {
    const std::wstring from = HOSTWide(temp);
    const std::wstring to = HOSTWide(target);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (overwrite ? MOVEFILE_REPLACE_EXISTING : 0);
    const bool ok = !from.empty() && !to.empty() && MoveFileExW(from.c_str(), to.c_str(), flags) != 0;
    const DWORD why = ok ? 0 : GetLastError();
    if (!ok) DeleteFileW(from.c_str());
    for (Tracked& entry : tracked) {
        if (entry.used == 1 && std::strcmp(entry.path, temp) == 0) entry.used = 0;
    }
    if (!ok) setErrno(why);
    return ok;
}

// The folder for temporary files: %TMPDIR% when set, else Windows' own (%TEMP%).
const char* CAPTURETempRoot() {
    static char root[pathSize];
    const char* asked = std::getenv("TMPDIR");
    if (asked != nullptr && asked[0] != '\0') return asked;
    wchar_t wide[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, wide);
    std::string path = n > 0 && n <= MAX_PATH ? HOSTNarrow(wide) : std::string(".");
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    std::snprintf(root, sizeof root, "%s", path.c_str());
    return root;
}

// A new folder under the temporary root, velm4023-capture-XXXXXX.
bool CAPTUREMakeTempFolder(char* folder, std::size_t size) {
    for (unsigned attempt = 0; attempt < 100; attempt++) {
        if (std::snprintf(folder, size, "%s\\velm4023-capture-%s", CAPTURETempRoot(), uniqueSuffix(attempt).c_str()) >=
            static_cast<int>(size)) {
            errno = ENAMETOOLONG;
            return false;
        }
        if (CreateDirectoryW(HOSTWide(folder).c_str(), nullptr) != 0) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    setErrno(GetLastError());
    return false;
}

// Removes a file, which is no longer tracked; nothing when there is none.
void CAPTURERemovePath(const char* path) {
    if (path == nullptr || path[0] == '\0') return;
    DeleteFileW(HOSTWide(path).c_str());
    for (Tracked& entry : tracked) {
        if (entry.used == 1 && std::strcmp(entry.path, path) == 0) entry.used = 0;
    }
}

void CAPTURERemoveFolder(const char* path) {
    if (path != nullptr && path[0] != '\0') RemoveDirectoryW(HOSTWide(path).c_str());
}

// Whether the folder exists and new files can be made in it: a file is made
// there and removed (Windows' permissions are not read from mode bits).
bool CAPTUREMayWriteInto(const char* folder) {
    const std::wstring wide = HOSTWide(folder);
    const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errno = ENOENT;
        return false;
    }
    wchar_t probe[MAX_PATH];
    if (GetTempFileNameW(wide.c_str(), L"vlm", 0, probe) == 0) {
        setErrno(GetLastError());
        return false;
    }
    DeleteFileW(probe);
    return true;
}

// A console (a character device that is not NUL).
bool CAPTUREIsTerminal(std::FILE* stream) {
    if (stream == nullptr) return false;
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

std::FILE* CAPTURETakeStdout() {
    std::fflush(stdout);
    const int fd = _dup(_fileno(stdout));
    if (fd < 0) return nullptr;
    _setmode(fd, _O_BINARY);
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        return nullptr;
    }
    if (_dup2(_fileno(stderr), _fileno(stdout)) < 0) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}
