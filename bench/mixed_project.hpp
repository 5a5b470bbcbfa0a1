// SPDX-License-Identifier: MIT
#pragma once
// A project of `groups` camera groups of every kind a site mixes, each with its own camera count
// and days, so no two groups of a kind compute the same figures; the benchmarks read it.

#include <string>

namespace lenstally::bench {

inline std::string MixedProject(int groups, bool withPlan = false) {
    static const char* const kinds[] = {
        R"("stream":"h264","resolution":"2mp","quality":"highest","fps":25,"gop":25)",
        R"("stream":"mjpeg","resolution":"4cif","quality":"normal","fps":12)",
        R"("stream":"h264","bitrate-mode":"cbr","resolution":"3mp","bitrate":"4096")",
        R"("stream":"mpeg4","resolution":"cif","quality":"low","fps":6,"gop":12,"hours":10)",
        R"("stream":"h264","resolution":"1mp","fps":10,"gop":20,"hours":12)",
    };
    std::string text = R"({"name":"Benchmark site","groups":[)";
    for (int i = 0; i < groups; ++i) {
        text += i == 0 ? "{" : ",{";
        text += R"("name":"Group )" + std::to_string(i + 1) + R"(",)";
        text += kinds[i % 5];
        text += R"(,"cameras":)" + std::to_string(1 + i % 64);
        text += R"(,"days":")" + std::to_string(7 + i % 90) + R"("})";
    }
    text += "]";
    if (withPlan) {
        text += R"(,"storage":{"drive":"16 TB","raid":6,"array-width":12,"spares":2,)"
                R"("overhead":3,"fill":95,"drives":1000},"recorder":{"channels":64,"mbps":400})";
    }
    return text + "}";
}

} // namespace lenstally::bench
