// SPDX-License-Identifier: MIT
#pragma once
// What every fuzz target does when its property fails: say what and where, then abort so that
// libFuzzer saves the input as a crash file.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lenstally::fuzzing {

[[noreturn]] inline void fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "property failed: %.*s\n  %.*s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void require(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) {
        fail(what, detail);
    }
}

} // namespace lenstally::fuzzing
