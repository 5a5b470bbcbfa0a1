// SPDX-License-Identifier: MIT
#include "project/site_points_text.hpp"

#include "estimation/numeric_text.hpp"

#include <cmath>
#include <fast_float/fast_float.h>

namespace lenstally {
namespace {

bool isSeparator(char c) {
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case ',':
    case ';':
    case '[':
    case ']':
    case '(':
    case ')':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string PointsText(const std::vector<SitePoint>& points) {
    std::string text;
    for (const SitePoint& p : points) {
        if (!text.empty()) {
            text += "; ";
        }
        text += ShortestText(p.x);
        text += ' ';
        text += ShortestText(p.y);
    }
    return text;
}

std::optional<std::vector<SitePoint>> ReadPointsText(std::string_view text) {
    std::vector<double> numbers;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (at != end) {
        if (isSeparator(*at)) {
            ++at;
            continue;
        }
        // A leading '+' is not part of fast_float's grammar, nor of ours.
        double value = 0;
        const fast_float::from_chars_result read = fast_float::from_chars(at, end, value);
        if (read.ec != std::errc() || !std::isfinite(value) ||
            (read.ptr != end && !isSeparator(*read.ptr))) {
            return std::nullopt;
        }
        numbers.push_back(value);
        at = read.ptr;
    }
    if (numbers.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<SitePoint> points;
    points.reserve(numbers.size() / 2);
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
        points.push_back({numbers[i], numbers[i + 1]});
    }
    return points;
}

} // namespace lenstally
