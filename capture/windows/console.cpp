// Windows: what velm4023-capture asks of its host. The command line comes as
// UTF-16 and is handed on as UTF-8 (the C runtime's own argv would carry only
// the letters of the local code page); standard output is switched to binary
// for the image stream (in text mode each byte 10 would become 13 10).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "img/img.h"
#include "img/windows/widepath.h"
#include "capture/capture.h"

namespace {
[[maybe_unused]] const IDENT ident = {"WINCONS ", "20261210", "Tordeval", "C++     ", "CODE    "};

std::vector<std::string> arguments;
std::vector<char*> argumentPointers;
}  // namespace

char** CAPTUREArguments(int* argc, char** /*argv*/) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || argc == nullptr) return nullptr;
    arguments.clear();
    for (int i = 0; i < count; i++) arguments.push_back(imgNarrowPath(wide[i]));
    LocalFree(wide);
    argumentPointers.clear();
    for (std::string& argument : arguments) argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    *argc = count;
    return argumentPointers.data();
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

// No window, no sound device. (SDL installs no signal handlers on Windows.)
void CAPTUREHeadless() {
    _putenv_s("SDL_VIDEODRIVER", "dummy");
    _putenv_s("SDL_AUDIODRIVER", "dummy");
}
