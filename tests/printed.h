// Shared by the unit tests: what an action prints on standard output, where
// the modules' reporters write their one fixed line.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace testout {

// Runs the action and returns what it printed. A module whose reporter prints
// only while its switch is on passes that switch: it is on for the action and
// off again afterwards.
template <typename F>
std::string Printed(F action, void (*reporting)(bool) = nullptr) {
    if (reporting != nullptr) reporting(true);
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    if (reporting != nullptr) reporting(false);
    return out;
}

}  // namespace testout
