#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads `lenstally --project FILE --csv` the way a spreadsheet import does, with Python's csv
module, and checks it against the project file and the JSON report of the same project."""
import csv
import io
import json
import subprocess
import sys

HEADER = ("name,stream,bitrate-mode,resolution,quality,fps,gop,hours,frame-size,cameras,bitrate,"
          "days,activity,per-camera,total-bandwidth,storage,total-kbps,storage-kb,camera,pixels,ppm,"
          "level").split(",")


def run(program, *args):
    done = subprocess.run([program, *args], capture_output=True, check=False)
    if done.returncode != 0 or done.stderr:
        sys.exit(f"{args}: exit {done.returncode}, stderr {done.stderr!r}")
    return done.stdout


def main(program, project_file):
    raw = run(program, "--project", project_file, "--csv")
    text = raw.decode("utf-8")
    assert text.endswith("\r\n"), "the last line ends in CRLF"
    assert "\n" not in text.replace("\r\n", ""), "no bare line feed outside quoted cells"
    rows = list(csv.reader(io.StringIO(text, newline=""), strict=True))
    report = json.loads(run(program, "--project", project_file, "--json"))
    with open(project_file, encoding="utf-8") as f:
        project = json.load(f)

    assert rows[0] == HEADER, rows[0]
    groups = rows[1:-1]
    total = rows[-1]
    assert len(groups) == len(project["groups"]) == len(report["groups"])
    for row, group, shown in zip(groups, project["groups"], report["groups"]):
        assert len(row) == len(HEADER), row
        cell = dict(zip(HEADER, row))
        assert cell["name"] == group["name"], (cell["name"], group["name"])
        for key, value in group.items():
            if key in ("stream", "bitrate-mode", "resolution", "quality"):
                assert cell[key] == value.lower(), (key, cell[key], value)
            elif key in ("fps", "gop", "hours"):
                assert int(cell[key]) == int(value), (key, cell[key], value)
        assert float(cell["activity"]) == float(group.get("activity", 100)) == shown["activity"]
        assert cell["frame-size"] == shown["txtFrameSize"]
        assert cell["per-camera"] == shown["lbPerBandwidth"]
        assert cell["total-bandwidth"] == shown["lbTotalBandwidth"]
        assert cell["storage"] == shown["lbStorageSize"]
        assert float(cell["total-kbps"]) == shown["totalKbps"]
        assert float(cell["storage-kb"]) == shown["storageKB"]
        assert cell["camera"] == group.get("camera", ""), (cell["camera"], group.get("camera"))
        assert cell["pixels"] == str(group.get("pixels", "")), (cell["pixels"], group.get("pixels"))
        view = shown.get("view")
        if view is None:
            assert cell["ppm"] == cell["level"] == "", cell
        else:
            assert float(cell["ppm"]) == view["ppm"], (cell["ppm"], view["ppm"])
            assert cell["level"] == (view["level"] or ""), (cell["level"], view["level"])

    assert len(total) == len(HEADER) and total[0] == "TOTAL", total
    assert all(c == "" for c in total[1:14]), total
    assert total[14:16] == [report["total"]["bandwidth"], report["total"]["storage"]], total
    assert all(c == "" for c in total[18:]), total
    # The totals are the plain sums of the groups' numbers, in group order.
    kbps = 0.0
    kilobytes = 0.0
    for row in groups:
        kbps += float(row[16])
        kilobytes += float(row[17])
    assert float(total[16]) == kbps, (total[16], kbps)
    assert float(total[17]) == kilobytes, (total[17], kilobytes)
    print(f"{project_file}: {len(groups)} groups and the totals read back")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
