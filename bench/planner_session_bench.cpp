// SPDX-License-Identifier: MIT
// The planner's work on a large project, without any face: reading it and opening it in a
// planner session, one rename as the page's module answers it, and the project file the page
// keeps as a copy. Run build/bench/planner_session_bench; each takes the group count as its
// argument.

#include <benchmark/benchmark.h>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "bench/mixed_project.hpp"
#include "project/planner_session.hpp"
#include "project/project_writer.hpp"
#include "web/module/page_session.hpp"

namespace {

const std::string& projectText(std::int64_t groups) {
    static std::map<std::int64_t, std::string> texts;
    auto [it, made] = texts.try_emplace(groups);
    if (made) {
        it->second = lenstally::bench::MixedProject(static_cast<int>(groups), true);
    }
    return it->second;
}

std::string openRequest(std::int64_t groups) {
    nlohmann::json request;
    request["planner"] = "open";
    request["text"] = projectText(groups);
    return request.dump();
}

// The file read and checked, and the session's document made of it: what opening costs in the
// core.
void BM_ReadAndOpen(benchmark::State& state) {
    const std::string& text = projectText(state.range(0));
    lenstally::PlannerSession session;
    for (auto _ : state) {
        const lenstally::ProjectParse parsed = lenstally::ParseProject(text);
        benchmark::DoNotOptimize(session.open(*parsed.project));
    }
}
BENCHMARK(BM_ReadAndOpen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same through the module's JSON face: the request parsed, the project opened, the answer
// written.
void BM_OpenAnswer(benchmark::State& state) {
    const std::string request = openRequest(state.range(0));
    lenstally::web::PageSession page;
    std::size_t size = 0;
    for (auto _ : state) {
        size = page.answer(request).size();
    }
    state.counters["answer_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_OpenAnswer)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One rename of a group in the middle, as the page asks for it, answer included; the names
// alternate so each is an edit.
void BM_RenameAnswer(benchmark::State& state) {
    lenstally::web::PageSession page;
    page.answer(openRequest(state.range(0)));
    const std::string group = std::to_string(state.range(0) / 2);
    const std::string requests[] = {
        R"({"planner":"rename","group":)" + group + R"(,"name":"Gate A"})",
        R"({"planner":"rename","group":)" + group + R"(,"name":"Gate B"})"};
    std::size_t n = 0;
    std::size_t size = 0;
    for (auto _ : state) {
        size = page.answer(requests[n++ % 2]).size();
    }
    state.counters["answer_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_RenameAnswer)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The project file of the open project, as Save writes it and the page keeps it.
void BM_ProjectFileText(benchmark::State& state) {
    const lenstally::ProjectParse parsed = lenstally::ParseProject(projectText(state.range(0)));
    lenstally::PlannerSession session;
    session.open(*parsed.project);
    std::size_t size = 0;
    for (auto _ : state) {
        size = lenstally::ProjectFileText(session.document().toProject()).size();
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_ProjectFileText)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
