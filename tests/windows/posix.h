// Windows: the few POSIX calls the unit tests use to set up their cases
// (environment variables, temporary and new folders) with their Windows
// meaning, so that the same tests run on Windows (under Wine). The Windows
// build includes this first in every unit-test source.
#pragma once

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

// Windows has no empty variable: setting "" removes it.
inline int setenv(const char* name, const char* value, int overwrite) {
    if (overwrite == 0 && getenv(name) != nullptr) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

// The mode is POSIX's; a new folder on Windows takes its parent's rights.
inline int mkdir(const char* path, unsigned /*mode*/) { return _mkdir(path); }

// Makes the folder PATTERN names, its trailing XXXXXX made unique.
inline char* mkdtemp(char* pattern) {
    const size_t length = pattern != nullptr ? strlen(pattern) : 0;
    if (length < 6 || strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
    for (unsigned attempt = 0; attempt < 100; attempt++) {
        char suffix[16];
        snprintf(suffix, sizeof suffix, "%06lx",
                 ((GetCurrentProcessId() * 2654435761ul) ^ (GetTickCount() * 40503ul) ^ (attempt * 97ul)) & 0xFFFFFFul);
        memcpy(pattern + length - 6, suffix, 6);
        if (_mkdir(pattern) == 0) return pattern;
    }
    return nullptr;
}
