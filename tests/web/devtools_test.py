#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Chromium driver itself: typed keys and clicks reach the page, the accessibility tree and
the timing mark read back, and the request log sees a request (so that an empty log means
something in the page tests)."""

import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from devtools import Browser  # noqa: E402

PAGE = (pathlib.Path(__file__).parent / "pages" / "driver_page.html").resolve().as_uri()


class DriverTest(unittest.TestCase):
    def test_keys_clicks_accessibility_requests_and_screenshot(self):
        with Browser() as browser:
            page = browser.new_page()
            page.open(PAGE)
            self.assertGreater(page.since_navigation("ready"), 0)
            page.click("#cameras")
            page.type_text("123")
            page.press("Backspace")
            page.press("Enter")
            self.assertEqual(page.evaluate("document.getElementById('result').textContent"),
                             "12 cameras")
            nodes = page.accessibility()
            box = next(node for node in nodes if node["node"] == page.backend_node("#cameras"))
            self.assertEqual((box["role"], box["name"]), ("textbox", "Cameras"))
            self.assertIn("Total bandwidth", [node["description"] for node in nodes])
            # The data: picture is no request; the local one the button asks for is.
            self.assertEqual(page.network_requests(), [])
            page.click("#fetch")
            page.wait_for("window.probed")
            self.assertEqual(page.network_requests(), ["http://127.0.0.1:9/probe.png"])
            with tempfile.TemporaryDirectory() as folder:
                shot = pathlib.Path(folder) / "page.png"
                page.screenshot(shot)
                self.assertEqual(shot.read_bytes()[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((page.console, page.errors), ([], []))


if __name__ == "__main__":
    unittest.main()
