#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The browser edition's speed in headless Chromium and node, beside the native command line on
the same work. Prints one table; the best of several runs of each figure.

    web_bench.py LENSTALLY_HTML LENSTALLY_MJS LENSTALLY_EXE [RUNS]

- first figures: navigation start to the calculator's first complete figures on screen, against
  one run of `lenstally --json`;
- one action: a real click on a stream button (core and page), from the input event to the
  next animation frame, against one run of `lenstally --stream mpeg4 --json`;
- 1,000 groups: opening a 1,000-group project in the planner (core, table and layout), against
  `lenstally --project FILE` on it; and runProject in node on the same text.
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


def best_native(args: list[str], runs: int, stdin: str | None = None) -> float:
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(args, input=stdin, capture_output=True, text=True, check=False)
        times.append((time.perf_counter() - start) * 1000)
    return min(times)


def main() -> int:
    page, module, native = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    project = big_project(1000)
    rows = []
    with Browser() as browser, tempfile.TemporaryDirectory() as folder:
        tab = browser.new_page()
        first = []
        for _ in range(runs):
            tab.open(page.as_uri())
            first.append(tab.since_navigation("lenstally-figures"))
        rows.append(("first figures on screen", min(first),
                     best_native([str(native), "--json"], runs)))

        # A real click on a stream button: the form rearranges its inputs and every figure
        # changes.
        tab.evaluate("""window.actionTimes = [];
            document.addEventListener('change', (event) => {
                const start = event.timeStamp;
                requestAnimationFrame(() => actionTimes.push(performance.now() - start));
            }, true);""")
        for index in range(runs):
            tab.click("#c-optStream1" if index % 2 == 0 else "#c-optStream2")
            tab.wait_for(f"actionTimes.length > {index}")
        action = min(tab.evaluate("actionTimes"))
        rows.append(("one user action (core and page)", action,
                     best_native([str(native), "--stream", "mpeg4", "--json"], runs)))

        opened = []
        tab.evaluate(f"window.bigProject = {json.dumps(project)}")
        for _ in range(runs):
            opened.append(tab.evaluate("""(() => {
                const start = performance.now();
                lenstally.plannerView().open(bigProject, 'benchmark');
                lenstally.showView('planner');
                document.body.getBoundingClientRect();
                return performance.now() - start;
            })()"""))
        file = pathlib.Path(folder) / "big.lenstally.json"
        file.write_text(project)
        rows.append(("opening a 1,000-group project", min(opened),
                     best_native([str(native), "--project", str(file)], runs)))
        node = subprocess.run(
            ["node", "--input-type=module", "-e", """
                const { runProject } = await import(process.argv[1]);
                const { readFileSync } = await import("node:fs");
                const text = readFileSync(process.argv[2], "utf8");
                const times = [];
                for (let i = 0; i < Number(process.argv[3]); ++i) {
                    const start = performance.now();
                    runProject(text, "table");
                    times.push(performance.now() - start);
                }
                console.log(Math.min(...times));""", str(module), str(file), str(runs)],
            capture_output=True, text=True, check=True)
        rows.append(("runProject in node, 1,000 groups (table)", float(node.stdout),
                     best_native([str(native), "--project", str(file)], runs)))
        assert tab.network_requests() == [], tab.network_requests()
    print(f"{'work':44} {'web ms':>9} {'native ms':>10} {'ratio':>7}")
    for name, web, cli in rows:
        print(f"{name:44} {web:9.1f} {cli:10.1f} {web / cli:7.2f}")
    print(f"lenstally.html: {page.stat().st_size} bytes; lenstally.mjs: {module.stat().st_size} "
          f"bytes; best of {runs} runs each (median first figures {statistics.median(first):.1f} ms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
