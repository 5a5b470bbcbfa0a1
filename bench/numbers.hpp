// SPDX-License-Identifier: MIT
#pragma once
// A small fixed generator for the benchmarks' sites, so that a site is the same with every
// standard library.

#include <cstdint>

namespace lenstally::bench {

class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : m_state(seed) {}

    /// The next number, from `lo` up to `hi`.
    double next(double lo, double hi) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(m_state >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state;
};

} // namespace lenstally::bench
