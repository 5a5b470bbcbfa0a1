// SPDX-License-Identifier: MIT
// The site plan's figures for a site of 200 placements (six levels each), 500 wall segments and
// 50 zones: every figure from scratch (target: within 100 ms), and one camera moved with what
// SiteFigures recomputes for it (target: well within the 16 ms of a frame). Against them, as a
// baseline, the storage figures of a project of the same size: 200 camera groups.
#include <benchmark/benchmark.h>
#include <cstdint>

#include "bench/mixed_project.hpp"
#include "bench/numbers.hpp"
#include "project/project.hpp"
#include "project/project_compute.hpp"
#include "site/site_figures.hpp"

namespace {

using lenstally::site::Camera;
using lenstally::site::Point;
using lenstally::site::Polyline;
using lenstally::site::Zone;

// A warehouse of 10 by 6 rooms of 20 m, each side of a room two walls either side of a 3 m
// doorway (272 segments), with 228 shelves across the rooms; three or four cameras to a room,
// lenses of 60 to 110 degrees on 1920 pixels; a zone in most rooms.
struct Site {
    std::vector<Polyline> walls;
    std::vector<Camera> cameras;
    std::vector<Zone> zones;
};

Site warehouse() {
    lenstally::bench::Numbers n(20240917);
    Site site;
    const double room = 20;
    const double door = 3;
    const double side = (room - door) / 2;
    for (int row = 0; row <= 6; ++row) {
        for (int col = 0; col < 10; ++col) {
            const double x = col * room;
            const double y = row * room;
            site.walls.push_back({{x, y}, {x + side, y}});
            site.walls.push_back({{x + side + door, y}, {x + room, y}});
        }
    }
    for (int col = 0; col <= 10; ++col) {
        for (int row = 0; row < 6; ++row) {
            const double x = col * room;
            const double y = row * room;
            site.walls.push_back({{x, y}, {x, y + side}});
            site.walls.push_back({{x, y + side + door}, {x, y + room}});
        }
    }
    for (int shelf = 0; shelf < 228; ++shelf) {
        const int r = shelf % 60;
        const double x = (r % 10) * room + n.next(3, 14);
        const double y = (r / 10) * room + n.next(3, 17);
        site.walls.push_back({{x, y}, {x + n.next(2, 5), y + n.next(-0.5, 0.5)}});
    }
    for (int c = 0; c < 200; ++c) {
        const int r = c % 60;
        const double hfov = n.next(60, 110);
        const double k = lenstally::WidthPerMetre({lenstally::LensForm::Angle, hfov, 0, 0});
        Camera camera{{(r % 10) * room + n.next(0.5, 19.5), (r / 10) * room + n.next(0.5, 19.5)},
                      n.next(0, 360),
                      hfov,
                      {}};
        for (std::size_t level = 0; level < lenstally::kViewLevelCount; ++level) {
            camera.reach[level] = 1920 / (lenstally::kViewLevels[level].ppm * k);
        }
        site.cameras.push_back(camera);
    }
    for (int z = 0; z < 50; ++z) {
        const double x = (z % 10) * room + n.next(2, 8);
        const double y = (z / 10) * room + n.next(2, 8);
        const double w = n.next(4, 10);
        const double h = n.next(4, 10);
        site.zones.push_back({{{x, y}, {x + w, y + n.next(-1, 1)}, {x + w, y + h}, {x, y + h}},
                              static_cast<std::size_t>(z % 5),
                              90});
    }
    return site;
}

const Site& site() {
    static const Site s = warehouse();
    return s;
}

void BM_SiteEveryFigure(benchmark::State& state) {
    std::size_t vertices = 0;
    for (auto _ : state) {
        lenstally::site::SiteFigures figures;
        figures.setWalls(site().walls);
        figures.setZones(site().zones);
        figures.setCameras(site().cameras);
        benchmark::DoNotOptimize(figures.zones().data());
        vertices = 0;
        for (const auto& sight : figures.sights()) {
            for (const auto& ring : sight.regions) {
                vertices += ring.size();
            }
        }
    }
    state.counters["ring_points"] = static_cast<double>(vertices);
}
BENCHMARK(BM_SiteEveryFigure)->Unit(benchmark::kMillisecond)->UseRealTime();

// One camera after another moved by half a metre and turned, back and forth, as a drag does.
void BM_SiteMoveOneCamera(benchmark::State& state) {
    lenstally::site::SiteFigures figures;
    figures.setWalls(site().walls);
    figures.setZones(site().zones);
    figures.setCameras(site().cameras);
    std::size_t i = 0;
    bool away = true;
    for (auto _ : state) {
        Camera moved = site().cameras[i];
        if (away) {
            moved.at.x += 0.5;
            moved.heading += 5;
        }
        figures.setCamera(i, moved);
        benchmark::DoNotOptimize(figures.zones().data());
        if (!away) {
            i = (i + 1) % site().cameras.size();
        }
        away = !away;
    }
}
BENCHMARK(BM_SiteMoveOneCamera)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: every storage figure of a project of 200 camera groups, read beforehand.
void BM_ProjectOf200Groups(benchmark::State& state) {
    const lenstally::ProjectParse parsed =
        lenstally::ParseProject(lenstally::bench::MixedProject(200, true));
    if (!parsed.project) {
        state.SkipWithError("the project did not read");
        return;
    }
    for (auto _ : state) {
        const lenstally::ProjectResult result = lenstally::ComputeProject(*parsed.project);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ProjectOf200Groups)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
