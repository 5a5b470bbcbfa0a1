#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The SVG drawing `lenstally --project FILE --svg FILE` writes, opened from disk in headless
Chromium: it renders as an SVG document, its zones and cameras take up room on the plan, and the
markup in a zone's name stays text: no script runs, nothing is fetched, nothing is logged.

    site_svg_test.py LENSTALLY_EXE
"""

import json
import pathlib
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parent / "project"))
from devtools import Browser  # noqa: E402
from site_svg_check import hostile_project  # noqa: E402

NATIVE = pathlib.Path(sys.argv[1]).resolve()


class SiteSvgTest(unittest.TestCase):
    def test_the_drawing_renders_and_runs_nothing(self):
        with tempfile.TemporaryDirectory() as folder, Browser() as browser:
            project = pathlib.Path(folder) / "site.lenstally.json"
            project.write_text(json.dumps(hostile_project()), encoding="utf-8")
            drawing = pathlib.Path(folder) / "plan.svg"
            subprocess.run([str(NATIVE), "--project", str(project), "--svg", str(drawing)],
                           check=True)
            page = browser.new_page()
            page.open(drawing.as_uri())
            self.assertEqual(page.evaluate("document.documentElement.localName"), "svg")
            for group in ("zones", "views", "placements"):
                box = page.evaluate(f"(b => [b.width, b.height])"
                                    f"(document.getElementById('{group}').getBBox())")
                self.assertTrue(box[0] > 0 and box[1] > 0, f"{group}: {box}")
            self.assertEqual(page.evaluate("document.getElementsByTagName('script').length"), 0)
            self.assertIsNone(page.evaluate("window.ran"))
            self.assertIn("<script>window.ran = 1</script>",
                          page.evaluate("document.getElementById('labels').textContent"))
            self.assertEqual(page.network_requests(), [])
            self.assertEqual((page.console, page.errors), ([], []))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
