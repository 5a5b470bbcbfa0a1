// SPDX-License-Identifier: MIT
// A 10,000-group project read, computed and written as JSON, against the same 10,000 groups run
// one by one the way a single-scenario command line runs them (a fresh form, start-up, the
// actions), without any output; the storage plan in its worst case; and a site whose one zone
// has the most points a site may hold. Target for the site: well under a second to read.
#include "estimation/storage_plan.hpp"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "bench/mixed_project.hpp"
#include "cli/cli.hpp"
#include "form/actions.hpp"
#include "form/form1.hpp"
#include "project/project.hpp"
#include "project/project_compute.hpp"

namespace {

constexpr int kGroups = 10'000;

const std::string& project() {
    static const std::string text = lenstally::bench::MixedProject(kGroups);
    return text;
}

// The worst case: no two groups make the same selections, so none starts from a kept state.
const std::string& distinctProject() {
    static const std::string text = [] {
        static const char* const streams[] = {"mjpeg", "mpeg4", "h264"};
        std::string t = R"({"groups":[)";
        for (int i = 0; i < kGroups; ++i) {
            t += i == 0 ? "{" : ",{";
            t += R"("name":"Group )" + std::to_string(i + 1) + R"(","stream":")" + streams[i % 3] +
                 R"(","fps":)" + std::to_string(1 + i % 30) + R"(,"gop":)" +
                 std::to_string(1 + (i / 30) % 30) + R"(,"hours":)" +
                 std::to_string(1 + (i / 900) % 24) + R"(,"cameras":)" +
                 std::to_string(1 + i % 64) + "}";
        }
        return t + "]}";
    }();
    return text;
}

// The whole run as `lenstally --project - --json` does it: read, check, compute, write.
void projectToJson(benchmark::State& state, const std::string& text) {
    std::string written;
    for (auto _ : state) {
        std::istringstream in(text);
        std::ostringstream out;
        std::ostringstream err;
        const lenstally::CliOutcome o =
            lenstally::RunCommandLine({"--project", "-", "--json"}, in, out, err);
        if (o.status != 0) {
            state.SkipWithError("the project did not compute");
            break;
        }
        written = out.str();
        benchmark::DoNotOptimize(written.data());
    }
    state.counters["bytes_out"] = static_cast<double>(written.size());
}

void BM_ProjectToJson(benchmark::State& state) {
    projectToJson(state, project());
}
BENCHMARK(BM_ProjectToJson)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProjectToJsonDistinctSelections(benchmark::State& state) {
    projectToJson(state, distinctProject());
}
BENCHMARK(BM_ProjectToJsonDistinctSelections)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: 10,000 single-scenario model runs of the same groups, actions already checked,
// nothing written.
void singleScenarioRuns(benchmark::State& state, const std::string& text) {
    const lenstally::ProjectParse parsed = lenstally::ParseProject(text);
    for (auto _ : state) {
        for (const lenstally::ProjectGroup& group : parsed.project->groups) {
            lenstally::Form1 form;
            form.load();
            for (const lenstally::ResolvedAction& a : group.actions) {
                lenstally::ApplyAction(form, a);
            }
            const lenstally::Figures f = form.figures();
            benchmark::DoNotOptimize(f);
        }
    }
}

void BM_SingleScenarioRuns(benchmark::State& state) {
    singleScenarioRuns(state, project());
}
BENCHMARK(BM_SingleScenarioRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SingleScenarioRunsDistinctSelections(benchmark::State& state) {
    singleScenarioRuns(state, distinctProject());
}
BENCHMARK(BM_SingleScenarioRunsDistinctSelections)->Unit(benchmark::kMillisecond)->UseRealTime();

// The storage plan in its worst case: a total that needs the most drives a plan considers, for
// each kind of layout (one array; RAID 6 split into arrays of 12; RAID 5 in arrays of 3, where
// only every third count is valid). Totals, drives needed, installed capacity, days that fit and
// recorders, as a project computes them.
void BM_PlanNeedingAMillionDrives(benchmark::State& state) {
    lenstally::StorageSection storage;
    storage.layout.driveKB = 8e9;
    storage.layout.spares = 2;
    storage.drives = 1'000'000;
    switch (state.range(0)) {
    case 0:
        storage.layout.raid = lenstally::RaidLevel::Raid10;
        break;
    case 1:
        storage.layout.raid = lenstally::RaidLevel::Raid6;
        storage.layout.arrayWidth = 12;
        break;
    default:
        storage.layout.raid = lenstally::RaidLevel::Raid5;
        storage.layout.arrayWidth = 3;
        storage.drives = 999'998;
        break;
    }
    // Just more than one drive fewer holds: the search must come up to the largest counts.
    const double total = *lenstally::InstalledCapacityKB(storage.layout, *storage.drives) - 1;
    lenstally::GroupResult group;
    group.figures = {2250, 2250, total};
    group.cameras = 1;
    group.dailyKB = total / 30;
    const lenstally::RecorderLimits recorder{32, 300, 24};
    std::int64_t needed = 0;
    for (auto _ : state) {
        const lenstally::ProjectTotals totals =
            lenstally::TotalsOf(std::span(&group, 1), storage, recorder);
        needed = totals.plan->drivesNeeded.value_or(-1);
        benchmark::DoNotOptimize(needed);
    }
    state.counters["drives_needed"] = static_cast<double>(needed);
}
BENCHMARK(BM_PlanNeedingAMillionDrives)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A project whose site has one zone of 99,998 points: a comb whose 24,999 teeth all lie across
// the plan at once, the most edges the check of a simple polygon holds in its sweep together.
// Read and checked, every point kept; against the same text read as plain JSON.
const std::string& combSite() {
    static const std::string text = [] {
        std::string points = "[0,0]";
        for (int i = 0; i < 24'999; ++i) {
            const std::string y = std::to_string(2 * i);
            const std::string y1 = std::to_string(2 * i + 1);
            const std::string y2 = std::to_string(2 * i + 2);
            points += ",[100," + y + "],[100," + y1 + "],[1," + y1 + "],[1," + y2 + "]";
        }
        points += ",[0,49998]";
        return R"({"groups":[],"site":{"width":100,"height":50000,"zones":[{"name":"Comb",)"
               R"("level":"Detect","points":[)" +
               points + "]}]}}";
    }();
    return text;
}

void BM_ReadSiteWithTheLargestZone(benchmark::State& state) {
    for (auto _ : state) {
        const lenstally::ProjectParse parsed = lenstally::ParseProject(combSite());
        if (!parsed.project) {
            state.SkipWithError(parsed.error.c_str());
            break;
        }
        benchmark::DoNotOptimize(parsed.project->site->zones.front().points.data());
    }
    state.counters["bytes_in"] = static_cast<double>(combSite().size());
}
BENCHMARK(BM_ReadSiteWithTheLargestZone)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the same text parsed into a JSON document, nothing checked.
void BM_ParseSiteAsJson(benchmark::State& state) {
    for (auto _ : state) {
        const nlohmann::json document = nlohmann::json::parse(combSite());
        benchmark::DoNotOptimize(document.size());
    }
}
BENCHMARK(BM_ParseSiteAsJson)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
