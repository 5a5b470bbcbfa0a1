// SPDX-License-Identifier: MIT
// One edit in a 1,000-group project, model and view together: a camera count typed into the
// calculator panel, recorded for undo, that group and the totals and plan recomputed, its table
// row and the plan's figures redrawn, and the repaint it causes. Target: under one 60 Hz frame.
// Offscreen; run build/bench/planner_bench.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "bench/mixed_project.hpp"
#include "bench/planner_main.hpp"
#include "gui/calculator/form1_view.hpp"
#include "gui/planner/planner_window.hpp"

namespace {

lenstally::PlannerWindow* g_planner = nullptr;

void BM_OneEditIn1000Groups(benchmark::State& state) {
    g_planner->selectGroup(500);
    auto* cameras = static_cast<QLineEdit*>(
        g_planner->calculator()->widget(lenstally::ControlId::txtCameraCount));
    int n = 0;
    for (auto _ : state) {
        cameras->setText(QString::number(1 + n++ % 97));
        QCoreApplication::processEvents(); // the repaint the edit asked for
    }
    state.counters["groups"] = static_cast<double>(g_planner->project().groupCount());
}
BENCHMARK(BM_OneEditIn1000Groups)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return lenstally::bench::RunOnPlanner(argc, argv, lenstally::bench::MixedProject(1000, true),
                                          g_planner,
                                          [](lenstally::PlannerWindow&) { return true; });
}
