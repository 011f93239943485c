// Windows: the process entry of velm4023.exe, a windowed program (no console
// opens). As SDL 1.2's own Windows entry does, standard output and standard
// error go to stdout.txt and stderr.txt beside the program, each deleted at
// exit if it stayed empty; where that folder cannot be written (Program
// Files), to %LOCALAPPDATA%\VELM4023\ instead; and where the caller already
// sent them to a file or a pipe (velm4023.exe > out.txt), they stay there.
// Then SDL is initialised, its shutdown arranged at exit, and the program's
// main routine SDL_main runs; its result becomes the exit status. The system
// timer runs at 1 ms while the show runs, so that the pacer's sleeps of a few
// milliseconds last about that long (Windows' default tick is 15.6 ms).
#include <SDL.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "img/img.h"
#include "platform/window.h"

extern "C" int SDL_main(int argc, char* argv[]);

namespace {
[[maybe_unused]] const IDENT ident = {"WINMAIN ", "20261210", "Tordeval", "C++     ", "CODE    "};
constexpr int initFailed = 2;

struct Output {
    std::FILE* stream;
    DWORD handle;           // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE
    const wchar_t* name;
    std::wstring path;      // the file it went to; empty when left as the caller gave it
};
Output outputs[] = {{stdout, STD_OUTPUT_HANDLE, L"stdout.txt", {}}, {stderr, STD_ERROR_HANDLE, L"stderr.txt", {}}};

// A file or a pipe from whoever started the program.
bool givenByCaller(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

// The folder of the program itself, with a trailing backslash.
std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring folder(path, n);
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

// %LOCALAPPDATA%\VELM4023\, made when missing; empty when there is none.
std::wstring localFolder() {
    PWSTR base = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base) == S_OK && base != nullptr) {
        folder = std::wstring(base) + L"\\VELM4023";
        if (CreateDirectoryW(folder.c_str(), nullptr) == 0 && GetLastError() != ERROR_ALREADY_EXISTS) folder.clear();
    }
    CoTaskMemFree(base);
    return folder.empty() ? folder : folder + L"\\";
}

// Standard output and error into their files, each where it can be written.
void redirectOutputs() {
    std::wstring fallback;
    for (Output& output : outputs) {
        if (givenByCaller(output.handle)) continue;
        for (int attempt = 0; attempt < 2; attempt++) {
            std::wstring folder = programFolder();
            if (attempt == 1) {
                if (fallback.empty()) fallback = localFolder();
                folder = fallback;
            }
            if (folder.empty()) continue;
            const std::wstring path = folder + output.name;
            if (_wfreopen(path.c_str(), L"w", output.stream) != nullptr) {
                // Standard error unbuffered, as always; standard output in
                // lines, which the C runtime here takes as whole buffers: the
                // show flushes after each of its lines.
                setvbuf(output.stream, nullptr, output.stream == stderr ? _IONBF : _IOLBF, BUFSIZ);
                output.path = path;
                break;
            }
        }
    }
}

// At exit, after SDL has shut down: each file that stayed empty goes.
void removeEmptyOutputs() {
    for (Output& output : outputs) {
        if (output.path.empty()) continue;
        std::fclose(output.stream);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(output.path.c_str(), GetFileExInfoStandard, &data) != 0 && data.nFileSizeLow == 0 &&
            data.nFileSizeHigh == 0) {
            DeleteFileW(output.path.c_str());
        }
    }
}

void restoreTimer() { timeEndPeriod(1); }
}  // namespace

int main(int argc, char** argv) {
    redirectOutputs();
    std::atexit(removeEmptyOutputs);
    timeBeginPeriod(1);
    std::atexit(restoreTimer);
    // The window's enlargement is chosen from the desktop before SDL starts,
    // and SDL puts the window, and full screen's borderless one, in the
    // screen's middle.
    SDLDPYChooseScaling();
    if (std::getenv("SDL_VIDEO_CENTERED") == nullptr && std::getenv("SDL_VIDEO_WINDOW_POS") == nullptr) {
        _putenv_s("SDL_VIDEO_CENTERED", "1");
    }
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "%s: %s\n", "WinMain() error", SDL_GetError());
        return initFailed;
    }
    std::atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
