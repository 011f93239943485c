// The process's environment on Windows, as the C runtime keeps it (SDL reads
// it there) and Windows hands it to child processes.
#include "host/environment.h"

#include <cstdlib>

bool HOSTSetEnv(const char* name, const char* value, bool replace) {
    if (name == nullptr || value == nullptr) return false;
    if (!replace && std::getenv(name) != nullptr) return true;
    return _putenv_s(name, value) == 0;
}

// An empty value removes a variable on Windows.
void HOSTUnsetEnv(const char* name) {
    if (name != nullptr) _putenv_s(name, "");
}
