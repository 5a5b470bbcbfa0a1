// SPDX-License-Identifier: MIT
#pragma once
// The main of a benchmark of the desktop planner: the planner shown offscreen with a project
// open, and the benchmarks run on it.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include <QApplication>
#include <QTemporaryDir>

#include "gui/planner/planner_window.hpp"

namespace lenstally::bench {

/// Opens `project` (a project file's text) in a planner shown offscreen, lets `ready` arrange it
/// (false: the project did not open as the benchmarks need it), points `planner` at it and runs
/// the benchmarks the command line asks for. Returns main's exit status.
inline int RunOnPlanner(int argc, char** argv, const std::string& project, PlannerWindow*& planner,
                        const std::function<bool(PlannerWindow&)>& ready) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.lenstally.json"));
    std::ofstream(path.toStdString()) << project;
    PlannerWindow window;
    window.setNotice([](const QString&, const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    window.show();
    if (!window.openFile(path) || !ready(window)) {
        return 2;
    }
    QCoreApplication::processEvents();
    planner = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    planner = nullptr;
    return 0;
}

} // namespace lenstally::bench
