// The environment through the C library's setenv and unsetenv, which the
// GNU C library keeps for SDL to read.
#include "host/environment.h"

#include <cstdlib>

bool HOSTSetEnv(const char* name, const char* value, bool replace) {
    return name != nullptr && value != nullptr && setenv(name, value, replace ? 1 : 0) == 0;
}

void HOSTUnsetEnv(const char* name) {
    if (name != nullptr) unsetenv(name);
}
