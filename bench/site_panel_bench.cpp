// SPDX-License-Identifier: MIT
// The desktop planner's site plan with 200 placed cameras, 500 walls and 50 zones: one camera
// dragged half a metre (the session's edit, the figures it changes, the drawing and the list laid
// out again) and the view rendered into an image, as a screen frame would show it. Target: within
// the 16 ms of a 60 Hz frame. Against it, the render alone. Offscreen; run
// build/bench/site_panel_bench.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sstream>
#include <string>

#include <QApplication>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QTabWidget>

#include "bench/numbers.hpp"
#include "bench/planner_main.hpp"
#include "gui/planner/planner_window.hpp"
#include "gui/planner/site_panel.hpp"

namespace {

// A warehouse 200 by 120 m of rooms 20 m square: 500 walls of two points (the rooms' sides
// either side of a doorway, then shelves), 50 zones, and ten groups of 20 cameras each placed
// three or four to a room.
std::string siteProject() {
    lenstally::bench::Numbers n(20241209);
    std::ostringstream walls;
    int count = 0;
    const auto wall = [&](double x0, double y0, double x1, double y1) {
        walls << (count++ == 0 ? "" : ",") << "[[" << x0 << ',' << y0 << "],[" << x1 << ',' << y1
              << "]]";
    };
    for (int row = 0; row <= 6; ++row) {
        for (int col = 0; col < 10; ++col) {
            wall(col * 20.0, row * 20.0, col * 20.0 + 8.5, row * 20.0);
            wall(col * 20.0 + 11.5, row * 20.0, col * 20.0 + 20, row * 20.0);
        }
    }
    for (int col = 0; col <= 10; ++col) {
        for (int row = 0; row < 6; ++row) {
            wall(col * 20.0, row * 20.0, col * 20.0, row * 20.0 + 8.5);
            wall(col * 20.0, row * 20.0 + 11.5, col * 20.0, row * 20.0 + 20);
        }
    }
    while (count < 500) {
        const int r = count % 60;
        const double x = (r % 10) * 20 + n.next(3, 14);
        const double y = (r / 10) * 20 + n.next(3, 17);
        wall(x, y, x + n.next(2, 5), y + n.next(-0.5, 0.5));
    }
    std::ostringstream zones;
    for (int z = 0; z < 50; ++z) {
        const double x = (z % 10) * 20 + n.next(2, 8);
        const double y = (z / 10) * 20 + n.next(2, 8);
        const double w = n.next(4, 10);
        const double h = n.next(4, 10);
        zones << (z == 0 ? "" : ",") << R"({"name":"Zone )" << z + 1 << R"(","level":"Detect",)"
              << R"("required":90,"points":[[)" << x << ',' << y << "],[" << x + w << ',' << y
              << "],[" << x + w << ',' << y + h << "],[" << x << ',' << y + h << "]]}";
    }
    std::ostringstream groups;
    int placed = 0;
    for (int g = 0; g < 10; ++g) {
        groups << (g == 0 ? "" : ",") << R"({"name":"Group )" << g + 1
               << R"(","stream":"h264","resolution":"2mp","quality":"highest","fps":25,"gop":25,)"
               << R"("cameras":20,"days":30,"view":{"distance":12,"hfov":)" << 60 + 5 * g
               << R"(},"placements":[)";
        for (int c = 0; c < 20; ++c, ++placed) {
            const int r = placed % 60;
            groups << (c == 0 ? "" : ",") << R"({"x":)" << (r % 10) * 20 + n.next(0.5, 19.5)
                   << R"(,"y":)" << (r / 10) * 20 + n.next(0.5, 19.5) << R"(,"heading":)"
                   << n.next(0, 359) << '}';
        }
        groups << "]}";
    }
    return R"({"groups":[)" + groups.str() + R"(],"site":{"width":200,"height":120,"walls":[)" +
           walls.str() + R"(],"zones":[)" + zones.str() + "]}}";
}

lenstally::PlannerWindow* g_planner = nullptr;

// What the view shows, drawn into an image of a typical screen's plan area, 1024 by 640 pixels
// (the offscreen screen leaves the view itself smaller).
QImage renderView(lenstally::SitePanel& panel) {
    QImage image(1024, 640, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    panel.view()->render(&painter, QRectF(image.rect()), panel.view()->viewport()->rect());
    return image;
}

// Camera after camera dragged half a metre to the right and back, each drag one press, one move
// and one release on the panel, then the view rendered.
void BM_SitePlanDragOneCamera(benchmark::State& state) {
    lenstally::SitePanel& panel = *g_planner->sitePanel();
    const lenstally::ProjectDocument& project = g_planner->project();
    std::size_t group = 0;
    std::size_t index = 0;
    bool away = true;
    for (auto _ : state) {
        const lenstally::Placement p = project.group(group).placements[index];
        panel.pressAt(QPointF(p.x, p.y), Qt::NoModifier);
        panel.dragTo(QPointF(p.x + (away ? 0.5 : -0.5), p.y));
        panel.release();
        benchmark::DoNotOptimize(renderView(panel).constBits());
        if (!away) {
            index = (index + 1) % project.group(group).placements.size();
            group = index == 0 ? (group + 1) % project.groupCount() : group;
        }
        away = !away;
    }
    state.counters["cameras"] = static_cast<double>(project.siteResult()->placements.size());
    state.counters["scene_items"] = static_cast<double>(panel.scene()->items().size());
}
BENCHMARK(BM_SitePlanDragOneCamera)->Unit(benchmark::kMillisecond)->UseRealTime();

// The render alone, the plan unchanged.
void BM_SitePlanRenderOnly(benchmark::State& state) {
    lenstally::SitePanel& panel = *g_planner->sitePanel();
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderView(panel).constBits());
    }
    state.counters["pixels"] = 1024 * 640;
}
BENCHMARK(BM_SitePlanRenderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return lenstally::bench::RunOnPlanner(
        argc, argv, siteProject(), g_planner, [](lenstally::PlannerWindow& planner) {
            planner.resize(1280, 900);
            if (!planner.project().siteResult() ||
                planner.project().siteResult()->placements.size() != 200) {
                std::fprintf(stderr, "the site did not open with 200 cameras\n");
                return false;
            }
            // The Site plan tab in front, the plan fitted to its view.
            for (QWidget* w = planner.sitePanel(); w != nullptr; w = w->parentWidget()) {
                if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() != nullptr
                                                               ? w->parentWidget()->parentWidget()
                                                               : nullptr)) {
                    tabs->setCurrentWidget(w);
                    break;
                }
            }
            QCoreApplication::processEvents();
            planner.sitePanel()->fit();
            return true;
        });
}
