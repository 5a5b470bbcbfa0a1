#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""`lenstally --project FILE --svg` read back with a real XML parser: a well-formed SVG document
whose image is an <image> holding the plan's data URL, whose texts are the project's names exactly
(markup in a name stays text), with a zone label and a camera per zone and placement; `--svg FILE`
writes the same bytes, and a file that cannot be written is a one-line error that leaves nothing
behind.

    site_svg_check.py LENSTALLY_EXE
"""
import json
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
XLINK = "{http://www.w3.org/1999/xlink}"
IMAGE = ("data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhfDwA"
         "ChwGA60e6kgAAAABJRU5ErkJggg==")
HOSTILE = "Yard </text><script>window.ran = 1</script> & 'Dock' \"B\"\u0001"


def hostile_project() -> dict:
    """A plan with an image, a wall, a zone whose name is markup and a control character, and two
    cameras, one labelled with markup too."""
    return {
        "groups": [{"name": "Gates", "cameras": 2, "view": {"distance": 12, "hfov": 60},
                    "placements": [{"x": 5, "y": 5, "heading": 135, "label": "<b>Gate</b> &amp;"},
                                   {"x": 35, "y": 5, "heading": 225}]}],
        "site": {"width": 40, "height": 25, "image": IMAGE,
                 "walls": [[[0, 12], [18, 12]]],
                 "zones": [{"name": HOSTILE, "level": "Detect",
                            "points": [[10, 14], [30, 14], [30, 24], [10, 24]]},
                           {"name": "Gate", "level": "Identify", "required": 50,
                            "points": [[3, 3], [8, 3], [8, 8], [3, 8]]}]},
    }


def run(*args: str) -> subprocess.CompletedProcess:
    return subprocess.run([PROGRAM, *args], capture_output=True, check=False)


def check(condition: bool, what: str) -> None:
    if not condition:
        sys.exit(f"site_svg_check: {what}")


def main() -> None:
    with tempfile.TemporaryDirectory() as folder:
        project = pathlib.Path(folder) / "site.lenstally.json"
        project.write_text(json.dumps(hostile_project()), encoding="utf-8")
        printed = run("--project", str(project), "--svg")
        check(printed.returncode == 0 and printed.stderr == b"", f"--svg: {printed}")
        report = json.loads(run("--project", str(project), "--json").stdout)["site"]

        root = ElementTree.fromstring(printed.stdout)
        check(root.tag == f"{SVG}svg", f"the root is {root.tag}")
        check(all(root.get(a) for a in ("width", "height", "viewBox")), "a size and a view box")
        images = list(root.iter(f"{SVG}image"))
        check(len(images) == 1, f"{len(images)} images")
        check(images[0].get("href") == IMAGE and images[0].get(f"{XLINK}href") == IMAGE,
              "the image holds the plan's data URL as href and xlink:href")
        tags = {element.tag for element in root.iter()}
        check(f"{SVG}script" not in tags and f"{SVG}foreignObject" not in tags,
              f"nothing but drawing: {sorted(tags)}")

        groups = {g.get("id"): g for g in root.iter(f"{SVG}g") if g.get("id")}
        labels = [t.text for t in groups["labels"].iter(f"{SVG}text")]
        expected = [f"{z['name'].replace(chr(1), chr(0xFFFD))} {z['percent']:.1f} %"
                    for z in report["zones"]]
        check(labels == expected, f"zone labels {labels!r}, expected {expected!r}")
        check(len(groups["zones"].findall(f"{SVG}polygon")) == 2, "a polygon per zone")
        cameras = [t.text for t in groups["placements"].iter(f"{SVG}text")]
        check(cameras == ["<b>Gate</b> &amp;", "Gates 2"], f"camera labels {cameras!r}")
        check(len(groups["views"]) == 2 and all(len(v) > 0 for v in groups["views"]),
              "each camera's view is drawn")
        check(len(groups["walls"]) == 1, "the wall is drawn")

        # Into a file: the same bytes, nothing printed, and no temporary file left beside it.
        drawing = pathlib.Path(folder) / "plan.svg"
        written = run("--project", str(project), "--svg", str(drawing))
        check(written.returncode == 0 and written.stdout == b"" and written.stderr == b"",
              f"--svg FILE: {written}")
        check(drawing.read_bytes() == printed.stdout, "the file holds what --svg prints")
        missing = pathlib.Path(folder) / "no such folder" / "plan.svg"
        failed = run("--project", str(project), "--svg", str(missing))
        check(failed.returncode == 2 and failed.stdout == b"" and
              failed.stderr.decode().startswith(f"lenstally: {missing}: cannot write") and
              failed.stderr.count(b"\n") == 1, f"an unwritable file: {failed}")
        check(sorted(p.name for p in pathlib.Path(folder).iterdir()) ==
              ["plan.svg", "site.lenstally.json"], "nothing else is left in the folder")
    print("site_svg_check: the drawing reads back as it should")


if __name__ == "__main__":
    PROGRAM = sys.argv[1]
    main()
