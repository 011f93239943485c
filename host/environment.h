// HOST environment: the process's own variables, which SDL reads when it
// starts (its drivers, the window's scaling) and child processes inherit.
// One implementation per host (host/linux/, host/web/ environment.cpp).
#pragma once

// Sets name to value; an existing value stays unless replace. False on failure.
bool HOSTSetEnv(const char* name, const char* value, bool replace);
// Removes name from the environment.
void HOSTUnsetEnv(const char* name);
