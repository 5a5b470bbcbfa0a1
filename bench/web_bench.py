#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The browser edition's speed in headless Chromium and node, beside the native command line on
the same work, measured in the same run. Prints one table: the median of several runs of each
figure (the best too where it says so), and its ratio to the command line's.

    web_bench.py LENSTALLY_HTML LENSTALLY_MJS LENSTALLY_EXE [RUNS]

- first figures: navigation start to the calculator's first complete figures on screen (median
  of 15 loads one after the other), right after the browser started and once it has settled,
  against one run of `lenstally --json`;
- one action: a real click on a stream button (core and page), from the input event to the
  next animation frame, against one run of `lenstally --stream mpeg4 --json`;
- for 1,000 and 10,000 groups, each against `lenstally --project FILE` on the same project:
  opening it in the planner (core, table and layout), the first time after the page is loaded
  and again; a keystroke in the selected group's Name box and adding a group before most of the
  others (every later row moves), each from its input event to the next frame and, as "work",
  until the page has handled it and laid itself out; and keeping the copy of the unsaved work
  once the page is idle again (the project's file text and the write, all on the page's main
  thread, off the keystroke's path);
- runProject in node on the 1,000-group text, and on the site plan below as JSON (every figure of
  the site computed and written);
- moving one camera by dragging it on the site plan of 200 placed cameras, 500 walls and 50
  zones (target 33 ms), from each pointer move to the page laid out with the camera moved, and
  the work alone (the request, its answer shown and laid out), and drawing the plan anew once
  the camera is let go, against `lenstally --project FILE --json` on the same project.
"""

import json
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "web"))
from devtools import Browser  # noqa: E402

FIRST_FIGURES_RUNS = 15

# Times each keystroke from its input event to the frame after it, and each click the same way;
# and the work alone, from the event until the page has handled it and laid itself out.
FRAME_TIMES = """window.frameTimes = []; window.workTimes = [];
    for (const kind of ['input', 'click']) {
        document.addEventListener(kind, (event) => {
            const start = event.timeStamp;
            requestAnimationFrame(() => frameTimes.push(performance.now() - start));
        }, true);
        document.addEventListener(kind, (event) => {
            document.body.getBoundingClientRect();
            workTimes.push(performance.now() - event.timeStamp);
        });
    }"""

# Adds up the main thread's time in what keeps the copy: the planner requests the keeper makes
# and the writes it starts.
KEEPING_TIME = """window.keepingTime = 0;
    const call = lenstally.core.call.bind(lenstally.core);
    lenstally.core.call = (name, text, ...numbers) => {
        const start = performance.now();
        const answer = call(name, text, ...numbers);
        if (/"planner":"(save|changed)"/.test(text)) {
            keepingTime += performance.now() - start;
        }
        return answer;
    };
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (...args) {
        const start = performance.now();
        const request = put.apply(this, args);
        keepingTime += performance.now() - start;
        return request;
    };"""


def big_project(groups: int) -> str:
    streams = ["h264", "mpeg4", "mjpeg"]
    resolutions = ["cif", "4cif", "1mp", "2mp", "3mp"]
    return json.dumps({
        "name": "Benchmark site",
        "groups": [{"name": f"Group {i + 1}", "stream": streams[i % 3],
                    "resolution": resolutions[i % 5], "fps": 1 + i % 30, "cameras": 1 + i % 40,
                    "days": 1 + i % 60, "activity": 10 + i % 90} for i in range(groups)],
        "storage": {"drive": "8 TB", "raid": 6, "spares": 1, "drives": 1000},
        "recorder": {"channels": 64, "mbps": 400},
    })


def native_times(args: list[str], runs: int, stdin: str | None = None) -> list[float]:
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(args, input=stdin, capture_output=True, text=True, check=False)
        times.append((time.perf_counter() - start) * 1000)
    return times


def median_native(args: list[str], runs: int) -> float:
    return statistics.median(native_times(args, runs))


def planner_figures(tab, page: pathlib.Path, native: pathlib.Path, groups: int, runs: int,
                    folder: pathlib.Path) -> list[tuple[str, float, float]]:
    project = big_project(groups)
    file = folder / f"site-{groups}.lenstally.json"
    file.write_text(project)
    baseline = median_native([str(native), "--project", str(file)], runs)
    size = f"{groups:,} groups"
    open_timed = """(() => {
        const start = performance.now();
        lenstally.plannerView().open(bigProject, 'benchmark');
        document.body.getBoundingClientRect();
        return performance.now() - start;
    })()"""
    # The first open after the page is loaded is the one a person waits for: the module's code
    # for it runs for the first time, before the browser has optimised it. Each run loads the
    # page anew for it; the last load then opens the project again and again.
    first = []
    for _ in range(runs):
        tab.open(page.as_uri())
        tab.since_navigation("lenstally-offered")
        tab.evaluate(f"window.bigProject = {json.dumps(project)}")
        tab.evaluate("lenstally.showView('planner')")
        first.append(tab.evaluate(open_timed, timeout=120))
    again = [tab.evaluate(open_timed, timeout=120) for _ in range(runs)]
    rows = [(f"opening {size}, first time", statistics.median(first), baseline),
            (f"opening {size}, again", statistics.median(again), baseline)]

    # The keystrokes go to the Name box of a group in the middle, selected by a click on its
    # row; then the page is left idle to keep its copy.
    tab.evaluate(FRAME_TIMES)
    tab.evaluate(KEEPING_TIME)
    tab.evaluate(f"lenstally.plannerView().ask({{planner: 'select', group: {groups // 2}}})")
    tab.click("#groups tr.selected td:nth-child(2)")
    tab.click("#group-name")
    tab.press("End")
    tab.evaluate("frameTimes.length = 0; workTimes.length = 0")
    typed = "Gate A"
    tab.type_text(typed)
    tab.wait_for(f"frameTimes.length >= {len(typed)}")
    shown = tab.evaluate("document.querySelector('#groups tr.selected td').textContent")
    assert shown.endswith(typed), shown
    rows.append((f"keystroke in a name to next frame, {size}",
                 statistics.median(tab.evaluate("frameTimes")), baseline))
    rows.append((f"keystroke in a name, work, {size}",
                 statistics.median(tab.evaluate("workTimes")), baseline))
    time.sleep(1.5)
    rows.append((f"keeping the copy (when idle), {size}", tab.evaluate("keepingTime"),
                 baseline))

    tab.evaluate("lenstally.plannerView().ask({planner: 'select', group: 0})")
    added = []
    for _ in range(runs):
        tab.evaluate("frameTimes.length = 0; workTimes.length = 0")
        tab.click('#planner [data-do="add"]')
        tab.wait_for("frameTimes.length > 0")
        added.append(tab.evaluate("[frameTimes[0], workTimes[0]]"))
    rows.append((f"adding a group at the top to next frame, {size}",
                 statistics.median(frame for frame, _ in added), baseline))
    rows.append((f"adding a group at the top, work, {size}",
                 statistics.median(work for _, work in added), baseline))
    return rows


def big_site() -> str:
    """200 placed cameras in 10 groups, 500 walls and 50 zones over a grid of 20 m rooms, each
    camera at its own place."""
    room, rooms, groups = 20, 10, 10
    walls = [[[c * room, r * room], [c * room + 8, r * room]]
             for r in range(5) for c in range(rooms)]
    walls += [[[c * room, r * room + 2], [c * room, r * room + 9]]
              for r in range(5) for c in range(rooms)]
    walls += [[[(i % rooms) * room + 3 + i % 7, (i // rooms % 5) * room + 4 + i % 9],
               [(i % rooms) * room + 6 + i % 7, (i // rooms % 5) * room + 5 + i % 9]]
              for i in range(400)]
    zones = [{"name": f"Zone {z + 1}", "level": ["Monitor", "Detect", "Observe"][z % 3],
              "points": [[(z % rooms) * room + 4, (z // rooms) * room + 4],
                         [(z % rooms) * room + 14, (z // rooms) * room + 4],
                         [(z % rooms) * room + 14, (z // rooms) * room + 12],
                         [(z % rooms) * room + 4, (z // rooms) * room + 12]]}
             for z in range(50)]
    return json.dumps({
        "name": "Benchmark site plan",
        "groups": [{"name": f"Group {g + 1}", "cameras": 20,
                    "view": {"distance": 10 + g, "hfov": 60 + 4 * g},
                    "placements": [{"x": (i % rooms) * room + 2 + 4 * (i // 50),
                                    "y": (i // rooms % 5) * room + 3 + 3 * (i // 50),
                                    "heading": (37 * i) % 360}
                                   for i in range(g * 20, g * 20 + 20)]} for g in range(groups)],
        "site": {"width": rooms * room, "height": 5 * room, "walls": walls, "zones": zones},
    })


def site_figures(tab, page: pathlib.Path, native: pathlib.Path, runs: int,
                 folder: pathlib.Path) -> list[tuple[str, float, float]]:
    """Drags one camera of a 200-camera site plan across its room, a pointer move a frame."""
    project = big_site()
    file = folder / "site-plan.lenstally.json"
    file.write_text(project)
    baseline = median_native([str(native), "--project", str(file), "--json"], runs)
    tab.open(page.as_uri())
    tab.since_navigation("lenstally-offered")
    tab.evaluate("lenstally.showView('planner')")
    assert tab.evaluate(f"lenstally.plannerView().open({json.dumps(project)}, 'benchmark')")
    tab.click('#planner [data-do="site"]')
    tab.evaluate("""window.moveTimes = []; window.moveWork = [];
        const view = lenstally.plannerView(), ask = view.ask.bind(view);
        let moved = null;
        document.addEventListener('pointermove', (event) => { moved ??= event.timeStamp; }, true);
        view.ask = (request) => {
            const start = performance.now();
            const answer = ask(request);
            document.body.getBoundingClientRect();
            if (request.planner === 'editPlacement') {
                moveWork.push(performance.now() - start);
                moveTimes.push(performance.now() - moved);
                moved = null;
            }
            return answer;
        };
        window.drawnTimes = [];
        let released = null;
        document.addEventListener('pointerup', (event) => { released = event.timeStamp; }, true);
        const show = view.m_site.show.bind(view.m_site);
        view.m_site.show = (site) => {
            show(site);
            if (released !== null && site?.svg) {
                document.body.getBoundingClientRect();
                drawnTimes.push(performance.now() - released);
                released = null;
            }
        };""")
    x, y = tab.centre('#site-plan circle[data-placement="0"]')
    tab.mouse("mouseMoved", x, y)
    tab.mouse("mousePressed", x, y, 1)
    steps = max(runs, 20)
    for step in range(1, steps + 1):
        tab.mouse("mouseMoved", x + step, y + step / 2)
        tab.wait_for(f"moveTimes.length >= {step}")
    tab.mouse("mouseReleased", x + steps, y + steps / 2, 1)
    tab.wait_for("drawnTimes.length > 0")
    placed = "lenstally.plannerView().m_site.m_site.placements[0].x"
    assert tab.evaluate(placed) > json.loads(project)["groups"][0]["placements"][0]["x"]
    size = "200 cameras, 500 walls, 50 zones"
    return [(f"moving one camera to laid out, {size}",
             statistics.median(tab.evaluate("moveTimes")), baseline),
            (f"moving one camera, work, {size}",
             statistics.median(tab.evaluate("moveWork")), baseline),
            (f"the drawing once let go, {size}", tab.evaluate("drawnTimes[0]"), baseline)]


def node_median(module: pathlib.Path, file: pathlib.Path, output: str, runs: int) -> float:
    """The median time of runProject(text of `file`, `output`) in node, the module loaded once."""
    node = subprocess.run(
        ["node", "--input-type=module", "-e", """
            const { runProject } = await import(process.argv[1]);
            const { readFileSync } = await import("node:fs");
            const text = readFileSync(process.argv[2], "utf8");
            const times = [];
            for (let i = 0; i < Number(process.argv[3]); ++i) {
                const start = performance.now();
                runProject(text, process.argv[4]);
                times.push(performance.now() - start);
            }
            times.sort((a, b) => a - b);
            console.log(times[Math.floor(times.length / 2)]);""",
         str(module), str(file), str(runs), output],
        capture_output=True, text=True, check=True)
    return float(node.stdout)


def main() -> int:
    page, module, native = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    rows = []
    with Browser() as browser, tempfile.TemporaryDirectory() as name:
        folder = pathlib.Path(name)
        tab = browser.new_page()
        # Right after the browser starts, its own start-up (a first renderer, its caches) runs
        # beside the first loads; a person opens the page in a browser already running. So the
        # loads are timed twice: as soon as the browser is up, and once it has settled (one
        # untimed load, then two seconds).
        for when in ("right after the browser starts", "browser settled"):
            first = []
            for _ in range(FIRST_FIGURES_RUNS):
                tab.open(page.as_uri())
                first.append(tab.since_navigation("lenstally-figures"))
                tab.since_navigation("lenstally-ready")  # the planner's module read too
            rows.append((f"first figures, {when} (median of 15)", statistics.median(first),
                         median_native([str(native), "--json"], runs)))
            rows.append((f"first figures, {when} (best of 15)", min(first),
                         min(native_times([str(native), "--json"], runs))))
            if when != "browser settled":
                tab.open(page.as_uri())
                tab.since_navigation("lenstally-ready")
                time.sleep(2)

        # A real click on a stream button: the form rearranges its inputs and every figure
        # changes.
        tab.evaluate(FRAME_TIMES)
        for index in range(runs):
            tab.click("#c-optStream1" if index % 2 == 0 else "#c-optStream2")
            tab.wait_for(f"frameTimes.length > {index}")
        rows.append(("one calculator action (core and page)",
                     statistics.median(tab.evaluate("frameTimes")),
                     median_native([str(native), "--stream", "mpeg4", "--json"], runs)))

        for groups in (1000, 10000):
            rows += planner_figures(tab, page, native, groups, runs, folder)

        rows += site_figures(tab, page, native, runs, folder)

        file = folder / "site-1000.lenstally.json"
        rows.append(("runProject in node, 1,000 groups (table)",
                     node_median(module, file, "table", runs),
                     median_native([str(native), "--project", str(file)], runs)))
        # Every figure of the site plan, computed and written, in the module.
        file = folder / "site-plan.lenstally.json"
        rows.append(("runProject in node, site of 200 cameras (json)",
                     node_median(module, file, "json", runs),
                     median_native([str(native), "--project", str(file), "--json"], runs)))
        assert tab.network_requests() == [], tab.network_requests()
    print(f"{'work':44} {'web ms':>9} {'native ms':>10} {'ratio':>7}")
    for name, web, cli in rows:
        print(f"{name:44} {web:9.1f} {cli:10.1f} {web / cli:7.2f}")
    print(f"lenstally.html: {page.stat().st_size} bytes; lenstally.mjs: {module.stat().st_size} "
          f"bytes; {runs} runs of each figure but the first figures")
    return 0


if __name__ == "__main__":
    sys.exit(main())
